#pragma once

#include "platform/Prompter.h"

#include <QString>

class QWidget;

// The Prompter of the running programs: QMessageBox for messages and questions,
// QFileDialog for choosing files, Qt's print dialog and print preview. Boxes are modal to the given parent (or to the
// application when there is none).
class WidgetPrompter : public Prompter
{
public:
    explicit WidgetPrompter(QWidget *parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget *parent) { m_parent = parent; }

    void message(Icon icon, const QString &text) override;
    Answer ask(const QString &text, const QString &caption) override;
    QString chooseFile(const FileRequest &request) override;
    // QPrintDialog, or QPrintPreviewDialog with its own Print button.
    Answer print(const PrintRequest &request) override;

    // "Logbook Files (*.sqlite3)|*.sqlite3|All Files (*.*)|*.*||" becomes
    // "Logbook Files (*.sqlite3);;All Files (*)": each description keeps its text and
    // shows the patterns of its pair; "*.*" means every file, with or without a dot.
    static QString qtFilter(const QString &pairs);
    // The path with ".extension" added when its file name has no extension of its own.
    static QString withDefaultExtension(const QString &path, const QString &extension);

private:
    QString caption() const;

    QWidget *m_parent;
};
