#pragma once

// Fixed texts shared by the dialog, the windowless mode and the conversions.
namespace RefDataTexts {

inline constexpr char kCtyInput[] = "cty.csv";
inline constexpr char kCtyScript[] = "cty.sql";
inline constexpr char kBasicScript[] = "korva3.sql";
inline constexpr char kQslMgrInput[] = "qslmgr.txt";
inline constexpr char kQslMgrScript[] = "qslmgr.sql";

inline constexpr char kCtyDownload[] = "Download cty.csv from https://www.country-files.com/";
inline constexpr char kQslMgrDownload[] =
    "Download the QSL manager list (call;manager;) from https://www.ik3qar.it/manager/";

} // namespace RefDataTexts
