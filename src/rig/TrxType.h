#pragma once

// The transceiver types the link knows, by their position in the setup's "Radio" list.
enum TrxType : int { TrxNone = 0, TrxFt897 = 1, TrxFt1000mp = 2, TrxHamlib = 3 };
