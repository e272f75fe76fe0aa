#pragma once

#include <QMainWindow>
#include <QPointer>

class frmSyouhin;

// The main window: checking a card, the counters, the menu bar, start-up and shutdown.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The load handler: runs once before the window is first shown. Returns
    // false when the program must end at once (the XML component is missing).
    bool Form_Load();

    void AllClear();
    void mnuDownload_Click();

    // The prize list window; when create is true and it does not exist it is
    // created hidden.
    frmSyouhin *Syouhin(bool create);

private:
    QPointer<frmSyouhin> m_syouhin;
};
