#pragma once

#include "help/TipsFile.h"

#include <QDialog>

#include <memory>

class DialogBuilder;
class QCheckBox;

// Shows one tip at a time from "tips.txt" in the program folder and
// remembers in the person's profile where it stopped, so that each showing
// goes on with the next tip.
class CTipOfTheDayDialog : public QDialog
{
    Q_OBJECT

public:
    // Reads the profile, opens the file and reads the tip to show.
    explicit CTipOfTheDayDialog(QWidget *parent = nullptr);
    // Stores where the next tip starts.
    ~CTipOfTheDayDialog() override;

    int DoModal() { return exec(); }

    bool ShowAtStartup() const { return m_showAtStartup; }
    const QString &TipText() const { return m_tipText; }

    void OnNextTip();
    void accept() override;  // "Close": also stores the start-up choice

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect ControlArea(int id) const;

    std::unique_ptr<DialogBuilder> m_builder;
    bool m_showAtStartup = true;
    QString m_tipText;
    TipsFile m_tips;
    QCheckBox *m_startup = nullptr;
};
