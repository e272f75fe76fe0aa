#include "ui/frmDataEdit.h"

#include "ui/frmDataConfirm.h"

#include "core/AtariList.h"
#include "core/DataFileList.h"
#include "core/NewData.h"
#include "core/ResultsText.h"
#include "core/UserFiles.h"
#include "core/modNengajo.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "ui/Accessibility.h"
#include "ui/Look.h"
#include "ui/TextSize.h"
#include "ui/Widgets.h"

#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

using Widgets::makeLabel;

const QString DataFileSuffix = QStringLiteral(".xml");

QPlainTextEdit *makeTextArea(QWidget *parent, const QString &stem, int k, const QString &what)
{
    auto *box = Widgets::make<QPlainTextEdit>(
        parent, Widgets::indexedName(stem, k), AtariList::ResultText(qint16(k + 1)) + what);
    // Tab moves on to the next field; a line break separates numbers or goods.
    box->setTabChangesFocus(true);
    return box;
}

// The fields, as large as they are unless the screen has less room: then
// they scroll, the buttons under them staying in sight.
class FieldsArea final : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        QSize hint = widget()->sizeHint() + 2 * QSize(frameWidth(), frameWidth());
        // Room for the bars beside and under the fields, not over them.
        if (hint.height() > maximumHeight())
            hint.rwidth() += verticalScrollBar()->sizeHint().width();
        if (hint.width() > maximumWidth())
            hint.rheight() += horizontalScrollBar()->sizeHint().height();
        return hint;
    }

protected:
    // The fields grow as their fonts, minimum widths and problem lines change:
    // the window's layout asks this area's size again (Qt's scroll area keeps
    // the first, and the window stayed narrower than its fields).
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget() && event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }
};

} // namespace

frmDataEdit::frmDataEdit(const WinningData &data, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDataEdit"));
    setWindowTitle(QStringLiteral("当選番号データの作成"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    Look::paintWindowBackground(this);
    buildControls();
    TextSize::follow(this, [this] { applySizes(); });

    // The prize structure repeats from year to year: the data in force give
    // the goods and the digits of each class; the numbers and dates are new.
    // The cards of a year are drawn in January of that year, so today's year
    // is the year of the draw being entered.
    DataEditInput start = modNengajo::DataEditFrom(data, false);
    start.strType = QStringLiteral("年賀状");
    start.strEra = modNengajo::EraReiwa;
    const int reiwa = platform::Service<platform::Clock>::get().today().year() - 2018;
    start.strYear = reiwa > 0 ? QString::number(reiwa) : QString();
    fill(start, true);
    setStart(data);

    const QSignalBlocker blocker(cboBase);
    for (const DataFileEntry &entry : modNengajo::ListDataFiles())
        cboBase->addItem(entry.strName, entry.strName + DataFileSuffix);
    cboBase->setCurrentIndex(cboBase->findData(data.strFileName));
    cmdOpen->setEnabled(cboBase->count() > 0);

    txtNumbers[0]->setFocus();
}

void frmDataEdit::buildControls()
{
    const auto addProblemLabel = [this](QWidget *control, DataEditField field) {
        QLabel *label = makeLabel(this, QStringLiteral("lblCheck_") + control->objectName(), QString());
        Look::setColour(label, QPalette::WindowText, Look::Urgent);
        // However long the reason, it stays inside the window.
        label->setWordWrap(true);
        m_problemLabels.insert(field, label);
        m_controlOf.insert(field, control);
        return label;
    };
    const auto caption = [this](const QString &text, QWidget *buddy) {
        QLabel *label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };

    // The file to start from, or to open and correct.
    cboBase = Widgets::make<QComboBox>(this, QStringLiteral("cboBase"), QStringLiteral("もとにするデータ"));
    cmdOpen = Widgets::makeButton(this, QStringLiteral("cmdOpen"), QStringLiteral("開く(&O)"));
    cmdOpen->setToolTip(QStringLiteral("選んだデータの番号と日付も読み込み、そのファイルを直します"));

    txtType = Widgets::make<QLineEdit>(this, QStringLiteral("txtType"), QStringLiteral("はがきの種類"));
    cboEra = Widgets::make<QComboBox>(this, QStringLiteral("cboEra"), QStringLiteral("元号"));
    cboEra->addItems({modNengajo::EraReiwa, modNengajo::EraHeisei});
    txtYear = Widgets::make<QLineEdit>(this, QStringLiteral("txtYear"), QStringLiteral("年"));
    txtYear->setInputMethodHints(Qt::ImhDigitsOnly);

    const auto grid = [] {
        auto *layout = new QGridLayout;
        layout->setHorizontalSpacing(8);
        layout->setVerticalSpacing(2);
        return layout;
    };
    auto *form = grid();
    int row = 0;
    const auto addRow
        = [&](const QString &text, QWidget *buddy, QLayout *fields, QWidget *checked, DataEditField field) {
              form->addWidget(caption(text, buddy), row, 0);
              form->addLayout(fields, row, 1);
              ++row;
              form->addWidget(addProblemLabel(checked, field), row, 1);
              ++row;
          };
    const auto line = [](std::initializer_list<QWidget *> widgets) {
        auto *layout = new QHBoxLayout;
        for (QWidget *widget : widgets)
            layout->addWidget(widget);
        layout->addStretch(1);
        return layout;
    };

    auto *baseLine = line({cboBase, cmdOpen});
    form->addWidget(caption(QStringLiteral("もとにするデータ(&B)"), cboBase), row, 0);
    form->addLayout(baseLine, row, 1);
    row += 2;
    addRow(QStringLiteral("はがきの種類(&T)"), txtType, line({txtType}), txtType, DataEditField::Type);
    addRow(QStringLiteral("年(&Y)"), cboEra, line({cboEra, txtYear, new QLabel(QStringLiteral("年度版"), this)}),
        txtYear, DataEditField::Year);

    // On the day of a draw: the results copied from a page, read into the classes.
    cmdPasteResults
        = Widgets::makeButton(this, QStringLiteral("cmdPasteResults"), QStringLiteral("結果を貼り付け(&P)"));
    cmdPasteResults->setAutoDefault(false);
    cmdPasteResults->setToolTip(
        QStringLiteral("コピーした当選番号の表や記事から、番号・賞品・日付を読み取ります（Ctrl+Shift+V）"));
    lblPasteResult = makeLabel(this, QStringLiteral("lblPasteResult"), QString());
    lblPasteResult->setWordWrap(true);
    lblPasteResult->setAccessibleName(QStringLiteral("貼り付けの結果"));
    Accessibility::makeNotification(lblPasteResult);
    form->addLayout(line({cmdPasteResults}), row++, 1);
    form->addWidget(lblPasteResult, row++, 1);

    // The classes: numbers and goods side by side, the problems under them.
    auto *classes = grid();
    classes->addWidget(new QLabel(QStringLiteral("等級"), this), 0, 0);
    classes->addWidget(new QLabel(QStringLiteral("当選番号（空白・カンマ・改行で区切る）"), this), 0, 1);
    classes->addWidget(new QLabel(QStringLiteral("賞品（１行に１つ、いくつかあれば１点選択）"), this), 0, 2);
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        txtNumbers[k] = makeTextArea(this, QStringLiteral("txtNumbers"), k, QStringLiteral("の当選番号"));
        txtNumbers[k]->setInputMethodHints(Qt::ImhDigitsOnly);
        txtSyouhin[k] = makeTextArea(this, QStringLiteral("txtSyouhin"), k, QStringLiteral("の賞品"));
        QLabel *name = caption(AtariList::ResultText(qint16(k + 1)), txtNumbers[k]);
        classes->addWidget(name, 1 + 2 * k, 0, Qt::AlignTop);
        classes->addWidget(txtNumbers[k], 1 + 2 * k, 1);
        classes->addWidget(txtSyouhin[k], 1 + 2 * k, 2);
        classes->addWidget(addProblemLabel(txtNumbers[k], numbersField(k)), 2 + 2 * k, 1, 1, 2);
    }
    classes->setColumnStretch(2, 1);

    auto *dates = grid();
    row = 0;
    txtDrawDate = Widgets::make<QLineEdit>(this, QStringLiteral("txtDrawDate"), QStringLiteral("抽せん日"));
    txtExchangeFrom
        = Widgets::make<QLineEdit>(this, QStringLiteral("txtExchangeFrom"), QStringLiteral("引換期間の初日"));
    txtExchangeTo = Widgets::make<QLineEdit>(this, QStringLiteral("txtExchangeTo"), QStringLiteral("引換期間の最終日"));
    txtURL = Widgets::make<QLineEdit>(this, QStringLiteral("txtURL"), QStringLiteral("関連URL"));
    const auto addDates = [&](const QString &text, QList<QLineEdit *> boxes, QList<DataEditField> checked) {
        dates->addWidget(caption(text, boxes.first()), row, 0);
        auto *fieldLine = new QHBoxLayout;
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            if (i > 0)
                fieldLine->addWidget(new QLabel(QStringLiteral("～"), this));
            fieldLine->addLayout(Widgets::makeDateField(this, boxes.at(i)));
        }
        fieldLine->addStretch(1);
        dates->addLayout(fieldLine, row++, 1);
        auto *problems = new QHBoxLayout;
        for (qsizetype i = 0; i < boxes.size(); ++i)
            problems->addWidget(addProblemLabel(boxes.at(i), checked.at(i)), 1);
        dates->addLayout(problems, row++, 1);
    };
    addDates(QStringLiteral("抽せん日(&D)"), {txtDrawDate}, {DataEditField::DrawDate});
    addDates(QStringLiteral("賞品の引換期間(&E)"), {txtExchangeFrom, txtExchangeTo},
        {DataEditField::ExchangeFrom, DataEditField::ExchangeTo});
    dates->addWidget(caption(QStringLiteral("関連URL(&U)"), txtURL), row, 0);
    dates->addWidget(txtURL, row++, 1);
    dates->addWidget(addProblemLabel(txtURL, DataEditField::Url), row++, 1);
    dates->setColumnStretch(1, 1);

    cmdSave = Widgets::makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("保存(&S)"));
    cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    cmdSave->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    m_buttons = new QHBoxLayout;
    m_saveNote = makeLabel(
        this, QStringLiteral("lblSaveNote"), QStringLiteral("保存の前に、入力した番号を大きく表示して確かめます。"));
    m_buttons->addWidget(m_saveNote, 1);
    m_buttons->addWidget(cmdSave);
    m_buttons->addWidget(cmdCancel);

    auto *fields = new QWidget;
    auto *fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->setContentsMargins(0, 0, 0, 0);
    fieldsLayout->setSpacing(8);
    fieldsLayout->addLayout(form);
    fieldsLayout->addLayout(classes);
    fieldsLayout->addLayout(dates);
    m_fields = new FieldsArea(this);
    m_fields->setObjectName(QStringLiteral("fields"));
    m_fields->setFrameShape(QFrame::NoFrame);
    // Tab goes from field to field; the area scrolls to the one with the focus.
    m_fields->setFocusPolicy(Qt::NoFocus);
    m_fields->setWidgetResizable(true);
    m_fields->setWidget(fields);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(m_fields);
    layout->addLayout(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The structure of another draw: what was typed for this one stays.
    connect(cboBase, &QComboBox::currentIndexChanged, this, [this] { takeBase(false); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        if (!takeBase(true))
            return;
        m_openedFileName = cboBase->currentData().toString();
        // A whole file is in the fields: each of them is judged at once.
        m_showAllProblems = true;
        showProblems();
    });
    connect(cmdSave, &QPushButton::clicked, this, &frmDataEdit::cmdSave_Click);
    connect(cmdPasteResults, &QPushButton::clicked, this, &frmDataEdit::pasteResults);
    auto *pasteKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), this);
    connect(pasteKey, &QShortcut::activated, this, &frmDataEdit::pasteResults);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Leaving a field shows what is wrong with it; each control tells of the field it belongs to.
    const auto watch = [this](QWidget *widget, DataEditField field) {
        widget->installEventFilter(this);
        m_fieldOf.insert(widget, field);
        // Only the user changes the field that has the focus.
        const auto typed = [this, widget, field] {
            if (widget->hasFocus() && !m_pasting) {
                m_enteredFields.insert(field);
                m_pasteProblems.remove(field);
            }
            showProblems();
        };
        if (auto *box = qobject_cast<QLineEdit *>(widget))
            connect(box, &QLineEdit::textChanged, this, typed);
        else if (auto *area = qobject_cast<QPlainTextEdit *>(widget))
            connect(area, &QPlainTextEdit::textChanged, this, typed);
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            connect(combo, &QComboBox::currentIndexChanged, this, typed);
    };
    for (const auto &[field, control] : m_controlOf.asKeyValueRange())
        watch(control, field);
    watch(cboEra, DataEditField::Year);
    for (int k = 0; k < DataEditInput::ClassCount; ++k)
        watch(txtSyouhin[k], numbersField(k));
    // A day picked in a calendar is a field filled in.
    for (QLineEdit *box : {txtDrawDate, txtExchangeFrom, txtExchangeTo}) {
        auto *calendar = findChild<QCalendarWidget *>(QStringLiteral("calendar_") + box->objectName());
        connect(calendar, &QCalendarWidget::clicked, this, [this, field = m_fieldOf.value(box)] {
            m_leftFields.insert(field);
            showProblems();
        });
    }
}

bool frmDataEdit::eventFilter(QObject *watched, QEvent *event)
{
    const auto field = m_fieldOf.constFind(static_cast<QWidget *>(watched));
    if (field == m_fieldOf.cend() || (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut))
        return QDialog::eventFilter(watched, event);
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    // A box over the window, a menu or another window takes the focus for a
    // moment, and the window puts it into the first field by itself as it
    // opens: a field is left only after the user went or typed into it.
    const bool byTheUser = isActiveWindow() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
        && reason != Qt::OtherFocusReason;
    if (event->type() == QEvent::FocusIn && byTheUser) {
        m_enteredFields.insert(*field);
    } else if (event->type() == QEvent::FocusOut && reason != Qt::ActiveWindowFocusReason
        && reason != Qt::PopupFocusReason && m_enteredFields.contains(*field)) {
        m_leftFields.insert(*field);
        showProblems();
    }
    return QDialog::eventFilter(watched, event);
}

void frmDataEdit::applySizes()
{
    using Widgets::textWidth;
    // Widths in full-width characters of each box's font.
    const std::pair<QWidget *, int> widths[] {{cboBase, 16}, {txtType, 12}, {txtYear, 3}, {txtDrawDate, 8},
        {txtExchangeFrom, 8}, {txtExchangeTo, 8}, {txtURL, 24}, {cmdSave, 7}, {cmdCancel, 7}};
    for (const auto &[widget, columns] : widths)
        widget->setMinimumWidth(textWidth(widget, columns));
    txtYear->setMaximumWidth(textWidth(txtYear, 4));
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        txtNumbers[k]->setMinimumWidth(textWidth(txtNumbers[k], 14));
        txtSyouhin[k]->setMinimumWidth(textWidth(txtSyouhin[k], 26));
        for (QPlainTextEdit *box : {txtNumbers[k], txtSyouhin[k]})
            box->setFixedHeight(Widgets::textHeight(box, 3) + 2 * box->frameWidth() + TextSize::scaled(8));
    }
    for (QLabel *label : std::as_const(m_problemLabels))
        label->setMinimumHeight(label->fontMetrics().height());

    // The window whole on the screen: the note beside the buttons, or over
    // them where the screen is too narrow for both, and the fields no larger
    // than the room the buttons and the margins leave.
    auto *window = static_cast<QBoxLayout *>(layout());
    const QSize room = TextSize::roomOnScreen(this);
    const QMargins margins = window->contentsMargins();
    const int width = room.width() - margins.left() - margins.right();
    const bool wasBeside = m_buttons->indexOf(m_saveNote) >= 0;
    const int besideWidth = m_buttons->sizeHint().width()
        + (wasBeside ? 0
                     : m_saveNote->sizeHint().width()
                    + style()->layoutSpacing(QSizePolicy::Label, QSizePolicy::PushButton, Qt::Horizontal));
    const bool beside = besideWidth <= width;
    if (beside != wasBeside) {
        window->removeWidget(m_saveNote);
        m_buttons->removeWidget(m_saveNote);
        if (beside)
            m_buttons->insertWidget(0, m_saveNote, 1);
        else
            window->insertWidget(1, m_saveNote);
    }
    int height = room.height() - margins.top() - margins.bottom() - window->spacing() - m_buttons->sizeHint().height();
    if (!beside)
        height -= m_saveNote->sizeHint().height() + window->spacing();
    m_fields->setMaximumSize(std::max(width, 0), std::max(height, m_buttons->sizeHint().height()));
    // The fields laid out at once: the window takes its size from them before
    // it is placed, not after it has opened.
    m_fields->widget()->ensurePolished();
    m_fields->widget()->layout()->activate();
    m_fields->updateGeometry();
}

DataEditInput frmDataEdit::input() const
{
    DataEditInput input;
    input.strType = txtType->text();
    input.strEra = cboEra->currentText();
    input.strYear = txtYear->text();
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        input.strNumbers[k] = txtNumbers[k]->toPlainText();
        input.strSyouhin[k] = txtSyouhin[k]->toPlainText();
    }
    input.strDrawDate = txtDrawDate->text();
    input.strExchangeFrom = txtExchangeFrom->text();
    input.strExchangeTo = txtExchangeTo->text();
    input.strUrl = txtURL->text();
    return input;
}

void frmDataEdit::fill(const DataEditInput &input, bool everything)
{
    txtType->setText(input.strType);
    for (int k = 0; k < DataEditInput::ClassCount; ++k)
        txtSyouhin[k]->setPlainText(input.strSyouhin[k]);
    if (everything) {
        cboEra->setCurrentText(input.strEra);
        txtYear->setText(input.strYear);
        for (int k = 0; k < DataEditInput::ClassCount; ++k)
            txtNumbers[k]->setPlainText(input.strNumbers[k]);
        txtDrawDate->setText(input.strDrawDate);
        txtExchangeFrom->setText(input.strExchangeFrom);
        txtExchangeTo->setText(input.strExchangeTo);
        txtURL->setText(input.strUrl);
    }

    // What the fields hold now was not typed: キャンセル asks about what differs later.
    const DataEditInput now = this->input();
    if (everything) {
        m_filled = now;
    } else {
        m_filled.strType = now.strType;
        m_filled.strSyouhin = now.strSyouhin;
    }
}

void frmDataEdit::setStart(const WinningData &data)
{
    showDigitHints(modNengajo::DigitCounts(data));
    m_start = modNengajo::DataEditStartOf(data);
}

void frmDataEdit::showDigitHints(const std::array<int, DataEditInput::ClassCount> &counts)
{
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const int digits = counts[k];
        txtNumbers[k]->setPlaceholderText(digits == 0 ? QString()
                : digits >= 6                         ? QStringLiteral("6桁の番号")
                                                      : QStringLiteral("下%1桁の番号").arg(digits));
    }
}

void frmDataEdit::showProblems()
{
    for (QLabel *label : std::as_const(m_problemLabels))
        label->clear();
    // An empty form is no mistake: a field is judged once it has been left,
    // and every field once 保存 has been pressed.
    for (const DataEditProblem &problem : modNengajo::CheckDataEdit(input())) {
        QLabel *label = m_problemLabels.value(problem.field);
        if (label && (m_showAllProblems || m_leftFields.contains(problem.field)))
            label->setText(problem.message);
    }
    // Why a paste left a class empty comes before what the editor says of the empty field.
    for (const auto &[field, message] : m_pasteProblems.asKeyValueRange())
        m_problemLabels.value(field)->setText(message);
}

void frmDataEdit::pasteResults()
{
    const ResultsRead read = modNengajo::ReadResultsText(QGuiApplication::clipboard()->text(), input());
    const DataEditInput &pasted = read.input;
    // The fields filled are as if typed: キャンセル asks before they are lost.
    m_pasting = true;
    for (const DataEditField field : read.changed) {
        if (field == DataEditField::Year) {
            cboEra->setCurrentText(pasted.strEra);
            txtYear->setText(pasted.strYear);
        } else if (field == DataEditField::DrawDate) {
            txtDrawDate->setText(pasted.strDrawDate);
        } else if (field == DataEditField::ExchangeFrom) {
            txtExchangeFrom->setText(pasted.strExchangeFrom);
        } else if (field == DataEditField::ExchangeTo) {
            txtExchangeTo->setText(pasted.strExchangeTo);
        }
        m_leftFields.insert(field);
    }
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        if (read.changed.contains(numbersField(k)))
            txtNumbers[k]->setPlainText(pasted.strNumbers[k]);
        if (pasted.strSyouhin[k] != txtSyouhin[k]->toPlainText())
            txtSyouhin[k]->setPlainText(pasted.strSyouhin[k]);
    }
    m_pasting = false;
    m_pasteProblems.clear();
    for (const DataEditProblem &problem : read.problems)
        m_pasteProblems.insert(problem.field, problem.message);
    showProblems();
    lblPasteResult->setText(modNengajo::ResultsSummary(read));
    Accessibility::announce(lblPasteResult);
}

bool frmDataEdit::takeBase(bool everything)
{
    const QString fileName = cboBase->currentData().toString();
    WinningData data;
    if (fileName.isEmpty() || !modNengajo::ReadDataFile(fileName, data)) {
        platform::showMessage(modNengajo::MessageTitle,
            QStringLiteral("当選番号データファイル\"") + fileName + QStringLiteral("\"を読み込めませんでした。"),
            platform::MessageBox::Icon::Warning);
        return false;
    }
    fill(modNengajo::DataEditFrom(data, everything), everything);
    setStart(data);
    return true;
}

void frmDataEdit::cmdSave_Click()
{
    using platform::MessageBox;
    const DataEditInput typed = input();
    if (const QList<DataEditProblem> problems = modNengajo::CheckDataEdit(typed); !problems.isEmpty()) {
        m_showAllProblems = true;
        showProblems();
        m_controlOf.value(problems.first().field)->setFocus(Qt::OtherFocusReason);
        return;
    }
    // OK writes; キャンセル goes back to the fields as they are.
    if (frmDataConfirm(typed, m_start, this).exec() != QDialog::Accepted)
        return;

    const QString title = modNengajo::DataEditTitle(typed);
    const QString fileName = title + DataFileSuffix;
    // A file of that name in any data folder is the one the card-type dialog
    // would load; the new one takes its place only when the user agrees.
    if (fileName != m_openedFileName && !modNengajo::ExistingDataFileName(fileName).isEmpty()
        && platform::showMessage(modNengajo::MessageTitle,
               QStringLiteral("当選番号データ\"") + title + QStringLiteral("\"はすでにあります。") + modNengajo::CrLf
                   + QStringLiteral("新しい内容で置き換えますか？"),
               MessageBox::Icon::Warning, MessageBox::Buttons::YesNo)
            != MessageBox::Answer::Yes)
        return;

    const Outcome<> written
        = modNengajo::WriteDataFile(UserFiles::newDataFolder(), title, modNengajo::DataEditXml(typed));
    if (!written.ok()) {
        platform::showMessage(modNengajo::MessageTitle, written.words, MessageBox::Icon::Critical);
        return;
    }
    m_savedFileName = fileName;
    accept();
}

void frmDataEdit::reject()
{
    using platform::MessageBox;
    // キャンセル, Esc and the close box: what was typed is lost only when the user says so.
    if (input() != m_filled
        && platform::showMessage(modNengajo::MessageTitle, QStringLiteral("入力した内容を破棄しますか？"),
               MessageBox::Icon::Question, MessageBox::Buttons::YesNo)
            != MessageBox::Answer::Yes)
        return;
    QDialog::reject();
}
