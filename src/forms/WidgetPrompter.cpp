#include "WidgetPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStringList>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Error:
        return QMessageBox::Critical;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// "*.sqlite3;*.adi" -> "*.sqlite3 *.adi", with "*.*" widened to "*".
QString qtPatterns(const QString &patterns)
{
    QStringList out;
    for (const QString &pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out.append(pattern.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed());
    return out.join(QLatin1Char(' '));
}

// Qt reads the patterns from the last parentheses of a description, so the
// description's own "(...)" is replaced by the pair's patterns.
QString qtEntry(QString description, const QString &patterns)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    description.remove(trailingPatterns);
    return description + QStringLiteral(" (") + qtPatterns(patterns) + QLatin1Char(')');
}

} // namespace

QString WidgetPrompter::caption() const
{
    return QApplication::applicationDisplayName();
}

void WidgetPrompter::message(Icon icon, const QString &text)
{
    QMessageBox box(boxIcon(icon), caption(), text, QMessageBox::Ok, m_parent);
    box.exec();
}

Prompter::Answer WidgetPrompter::ask(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text,
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

QString WidgetPrompter::chooseFile(const FileRequest &request)
{
    QFileDialog dialog(m_parent, request.title);
    dialog.setNameFilters(qtFilter(request.filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    const bool save = request.kind == FileRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.defaultName.isEmpty())
        dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return withDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExtension);
}

Prompter::Answer WidgetPrompter::print(const PrintRequest &request)
{
    if (!request.printer || !request.paint)
        return Answer::Cancel;
    request.printer->setDocName(request.title);
    if (request.kind == PrintRequest::Kind::Preview) {
        QPrintPreviewDialog preview(request.printer, m_parent);
        preview.setWindowTitle(QStringLiteral("Print Preview - %1").arg(request.title));
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&request](QPrinter *printer) { request.paint(printer); });
        // A preview shown maximised shows a whole page at a readable size.
        preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
        return preview.exec() == QDialog::Accepted ? Answer::Ok : Answer::Cancel;
    }
    QPrintDialog dialog(request.printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Print - %1").arg(request.title));
    if (dialog.exec() != QDialog::Accepted)
        return Answer::Cancel;
    request.paint(request.printer);
    return Answer::Ok;
}

QString WidgetPrompter::qtFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts.at(i).isEmpty() && parts.at(i + 1).isEmpty())
            break; // the closing "||"
        entries.append(qtEntry(parts.at(i), parts.at(i + 1)));
    }
    return entries.join(QStringLiteral(";;"));
}

QString WidgetPrompter::withDefaultExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + extension;
}
