#pragma once

#include <QSize>
#include <QWidget>

struct WinningData;

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

// The winning numbers and prizes window: every class with its numbers, digit
// note and goods, the related address and the data file, of the winning data
// it is given. Modeless.
class frmSyouhin : public QWidget
{
    Q_OBJECT

public:
    // data outlive the window: the data in force, which every load changes.
    explicit frmSyouhin(const WinningData &data, QWidget *parent = nullptr);

    // Rebuilds everything from the data. Runs whenever the window becomes
    // active; never shows the window.
    void Form_Activate();

signals:
    // "閉じる(&C)" has hidden the window: the user goes back to the next card.
    void hiddenByClose();

protected:
    bool event(QEvent *event) override;
    // Esc does what "閉じる(&C)" does.
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    static constexpr int RowCount = 5;

    void buildControls();
    void cmdClose_Click();

    QList<QLabel *> m_headings;
    std::array<QLabel *, RowCount> lblToukyuuName {};
    std::array<QLabel *, RowCount> lblTousenNum {};
    std::array<QLabel *, RowCount> lblKeta {};
    std::array<QLabel *, RowCount> lblSyouhin {};
    std::array<QLabel *, RowCount> lblSyohinSelect {};
    QLabel *lblKikan = nullptr;
    QLineEdit *txtURL = nullptr;
    QPushButton *cmdBrowseOpen = nullptr;
    QPushButton *cmdClose = nullptr;
    const WinningData &m_data;
    // The size the content asked for at the last refresh: the window follows
    // its content until the user gives it a size of their own, which then
    // stays (the layout still grows it rather than clip the content).
    QSize m_fittedSize;
    bool m_userSized = false;
};
