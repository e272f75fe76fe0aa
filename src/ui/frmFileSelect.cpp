#include "ui/frmFileSelect.h"

#include "core/DataFileList.h"
#include "core/modNengajo.h"
#include "platform/programfolder.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString DataFileSuffix = QStringLiteral(".xml");

} // namespace

frmFileSelect::frmFileSelect(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFileSelect"));
    setWindowTitle(QStringLiteral("はがきの種類を選択"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    Look::paintWindowBackground(this);

    m_lstXmlFile = new QListWidget(this);
    m_lstXmlFile->setObjectName(QStringLiteral("lstXmlFile"));
    m_lstXmlFile->setAccessibleName(QStringLiteral("はがきの種類"));
    m_lstXmlFile->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstXmlFile->setFont(Fonts::font(Fonts::UIGothic, 11.25));
    // Room for the longest card types and ten of them at a time.
    m_lstXmlFile->setFixedSize(Widgets::textWidth(m_lstXmlFile, 22), Widgets::textHeight(m_lstXmlFile, 10));

    m_cmdOK = Widgets::makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    for (QPushButton *button : {m_cmdOK, m_cmdCancel})
        button->setMinimumWidth(Widgets::textWidth(button, 7));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_lstXmlFile);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_lstXmlFile, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);

    // A Ctrl+click can clear the selection in Qt, so OK follows whether an entry is selected.
    connect(m_lstXmlFile, &QListWidget::itemSelectionChanged, this,
        [this] { m_cmdOK->setEnabled(!m_lstXmlFile->selectedItems().isEmpty()); });
    connect(m_lstXmlFile, &QListWidget::itemDoubleClicked, this, &frmFileSelect::cmdOK_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmFileSelect::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    fillList();
    m_lstXmlFile->installEventFilter(this);
    m_lstXmlFile->setFocus();
}

void frmFileSelect::fillList()
{
    // Every opening reads each file afresh: files come and go between openings.
    for (const DataFileEntry &entry : modNengajo::ListDataFiles())
        m_lstXmlFile->addItem(entry.strName);
    m_cmdOK->setEnabled(false);
}

bool frmFileSelect::eventFilter(QObject *watched, QEvent *event)
{
    // While nothing is chosen, the first arrow press chooses the first entry.
    // The list makes that entry current, unselected, on getting the focus, and
    // would otherwise step over it.
    if (watched == m_lstXmlFile && event->type() == QEvent::KeyPress && m_lstXmlFile->count() > 0
        && m_lstXmlFile->selectedItems().isEmpty()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            m_lstXmlFile->setCurrentRow(0);
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
    const QList<QListWidgetItem *> selected = m_lstXmlFile->selectedItems();
    if (selected.isEmpty())
        return;

    // On failure the loader has told the user why, the file in force stays
    // in force with its counts, and the dialog stays open for another choice.
    if (modNengajo::ChooseDataFile(selected.first()->text() + DataFileSuffix) == -1)
        return;
    emit dataFileLoaded();
    accept();
}
