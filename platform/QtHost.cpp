#include "platform/QtHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextEdit>
#include <QUrl>

namespace {

QMessageBox::Icon ToQtIcon(Host::Icon icon)
{
    switch (icon) {
    case Host::Icon::Information: return QMessageBox::Information;
    case Host::Icon::Warning: return QMessageBox::Warning;
    case Host::Icon::Error: return QMessageBox::Critical;
    case Host::Icon::Question: return QMessageBox::Question;
    case Host::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// "*.avi" becomes "*.[aA][vV][iI]".
QString CaseInsensitivePattern(const QString &pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

} // namespace

Host::Answer QtHost::MessageBox(const QString &text, const QString &caption, Buttons buttons,
                                Icon icon, const QString &details)
{
    const auto qtButtons = buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(ToQtIcon(icon), caption, text, qtButtons, QApplication::activeWindow());
    if (!details.isEmpty()) {
        box.setDetailedText(details);
        // Long paths wrap anywhere rather than widen the box.
        if (auto *area = box.findChild<QTextEdit *>()) {
            area->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            // Wide enough for a path on a line or two, tall enough for a
            // few files; the rest scrolls.
            const QFontMetrics metrics(area->font());
            area->setMinimumSize(metrics.averageCharWidth() * 70, metrics.lineSpacing() * 10);
        }
        // The list is what the person needs to read: shown, not behind a
        // "Show Details..." press.
        for (QAbstractButton *button : box.buttons()) {
            if (box.buttonRole(button) == QMessageBox::ActionRole)
                button->click();
        }
    }
    const int result = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QStringList QtHost::ToNameFilters(const QString &filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern == QLatin1String("*.*") ? QStringLiteral("*") : CaseInsensitivePattern(pattern);
        result << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

QStringList QtHost::ChooseFilesToOpen(const QString &title, const QString &filter)
{
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The labels already name their extensions; the case-insensitive
    // patterns Qt needs would only clutter them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(ToNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtHost::ChooseFolder(const QString &title, const QString &startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeWindow(), title,
                                                             startFolder);
    return folder.isEmpty() ? QString() : folder;
}

bool QtHost::OpenUrl(const QString &address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
