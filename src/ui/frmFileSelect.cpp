#include "ui/frmFileSelect.h"

#include "core/DataFileList.h"
#include "core/DataInForce.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmFileSelect::frmFileSelect(DataInForce &data, QWidget *parent)
    : QDialog(parent)
    , m_data(data)
{
    setObjectName(QStringLiteral("frmFileSelect"));
    setWindowTitle(QStringLiteral("はがきの種類を選択"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    Look::paintWindowBackground(this);

    lstXmlFile = Widgets::make<QListWidget>(this, QStringLiteral("lstXmlFile"), QStringLiteral("はがきの種類"));

    cmdOK = Widgets::makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(lstXmlFile);
    layout->addLayout(Widgets::buttonRow({cmdOK, cmdCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TextSize::follow(this, [this] {
        lstXmlFile->setFont(Fonts::font(Fonts::UIGothic, 11.25));
        // Room for the longest card types and ten of them at a time.
        lstXmlFile->setFixedSize(Widgets::textWidth(lstXmlFile, 22), Widgets::textHeight(lstXmlFile, 10));
        for (QPushButton *button : {cmdOK, cmdCancel})
            button->setMinimumWidth(Widgets::textWidth(button, 7));
    });

    // A Ctrl+click can clear the selection in Qt, so OK follows whether an entry is selected.
    connect(lstXmlFile, &QListWidget::itemSelectionChanged, this,
        [this] { cmdOK->setEnabled(!lstXmlFile->selectedItems().isEmpty()); });
    connect(lstXmlFile, &QListWidget::itemDoubleClicked, this, &frmFileSelect::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFileSelect::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Every opening reads each file afresh: files come and go between openings.
    for (const DataFileEntry &entry : modNengajo::ListDataFiles())
        lstXmlFile->addItem(entry.strName);
    cmdOK->setEnabled(false);
    lstXmlFile->installEventFilter(this);
    lstXmlFile->setFocus();
}

bool frmFileSelect::eventFilter(QObject *watched, QEvent *event)
{
    // While nothing is chosen, the first arrow press chooses the first entry.
    // The list makes that entry current, unselected, on getting the focus, and
    // would otherwise step over it.
    if (watched == lstXmlFile && event->type() == QEvent::KeyPress && lstXmlFile->count() > 0
        && lstXmlFile->selectedItems().isEmpty()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            lstXmlFile->setCurrentRow(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFileSelect::keyPressEvent(QKeyEvent *event)
{
    // No button of this dialog answers Esc.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmFileSelect::cmdOK_Click()
{
    const QList<QListWidgetItem *> selected = lstXmlFile->selectedItems();
    if (selected.isEmpty())
        return;

    // On failure the box tells why, the file in force stays in force with
    // its counts, and the dialog stays open for another choice.
    if (m_data.LoadDataFile(selected.first()->text() + QStringLiteral(".xml")).tell())
        accept();
}
