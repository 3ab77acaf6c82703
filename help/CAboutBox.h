#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class CCaptionLabel;
class CLinkLabel;
class DialogBuilder;

// The About box: the program's icon, name and version, links to the home
// page and to technical support, and the legal notice.
class CAboutBox : public QDialog
{
    Q_OBJECT

public:
    // Called once for each link, as the skin asks for every window it draws
    // in its own way.
    using WindowHook = std::function<void(QWidget *)>;

    // The title's text is cut to this many characters, however long the
    // version is.
    static constexpr int kMaxTitleLength = 63;

    CAboutBox(const QString &version, const WindowHook &skinWindow, QWidget *parent = nullptr);
    ~CAboutBox() override;

    int DoModal() { return exec(); }

    // "Kelvaro <version>", cut to the longest title.
    static QString TitleFor(const QString &version);

    QString Title() const;
    CLinkLabel *HomeLink() const { return m_homeLink; }
    CLinkLabel *SupportLink() const { return m_supportLink; }

private:
    void DoDataExchange();
    void OnInitDialog(const QString &version, const WindowHook &skinWindow);

    std::unique_ptr<DialogBuilder> m_builder;
    CCaptionLabel *m_title = nullptr;
    CLinkLabel *m_homeLink = nullptr;
    CLinkLabel *m_supportLink = nullptr;
};
