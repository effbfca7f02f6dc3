#pragma once

#include <QString>

#include <functional>

class QPrinter;

// Every message box and file dialog of the system goes through the current Prompter:
// the application installs one that shows real boxes, tests install a scripted one
// that records the texts and plays prepared answers.
class Prompter
{
public:
    enum class Icon { None, Information, Warning, Error };
    enum class Answer { Ok, Cancel };

    struct FileRequest
    {
        enum class Kind { Open, Save };
        Kind kind = Kind::Open;
        QString title;
        // Pairs of description and pattern separated by '|', ending in "||":
        // "Logbook Files (*.sqlite3)|*.sqlite3|All Files (*.*)|*.*||".
        QString filter;
        QString defaultExtension; // without the dot; added when the typed name has none
        QString defaultName;
        bool mustExist = false;
        bool confirmOverwrite = false;
    };

    struct PrintRequest
    {
        enum class Kind { Print, Preview };
        Kind kind = Kind::Print;
        QString title; // what is printed; the print job's name
        // The printer the dialog sets up; the caller owns it.
        QPrinter *printer = nullptr;
        // Paints every page on the printer it is given (the preview's own, for Preview).
        std::function<void(QPrinter *)> paint;
    };

    virtual ~Prompter() = default;

    // A box with one OK button.
    virtual void message(Icon icon, const QString &text) = 0;
    // A box with OK and Cancel under `caption`; anything but OK counts as Cancel.
    virtual Answer ask(const QString &text, const QString &caption) = 0;
    // The chosen path, or an empty text when the operator cancelled.
    virtual QString chooseFile(const FileRequest &request) = 0;
    // Print: the print dialog, then the pages on the printer chosen there. Preview: the
    // pages in a preview window, from which the operator may print them. Ok when the
    // pages went to a printer (or a file), Cancel otherwise.
    virtual Answer print(const PrintRequest &request) = 0;

    void information(const QString &text) { message(Icon::Information, text); }
    void warning(const QString &text) { message(Icon::Warning, text); }
    void error(const QString &text) { message(Icon::Error, text); }
    void plain(const QString &text) { message(Icon::None, text); }
    // A question under the application's title, or under a caption of its own.
    Answer question(const QString &text, const QString &caption = QStringLiteral("Korva3"))
    {
        return ask(text, caption);
    }

    // The installed prompter. Without one installed, a scripted prompter that answers
    // Cancel stands in, so nothing ever blocks on a box nobody sees.
    static Prompter &current();
    // Installs a prompter (not owned); nullptr restores the stand-in.
    static void install(Prompter *prompter);
};
