#include "ui/frmDataEdit.h"

#include "core/DataFileList.h"
#include "core/modNengajo.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Widgets.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {

using Widgets::makeLabel;

const QString DataFileSuffix = QStringLiteral(".xml");

QString classCaption(int k)
{
    return modNengajo::FullWidthDigits(k + 1) + u'等';
}

QString indexed(const QString &stem, int k)
{
    return stem + QStringLiteral("_%1").arg(k);
}

QLineEdit *makeLineEdit(QWidget *parent, const QString &name, const QString &accessibleName, int columns)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setMinimumWidth(Widgets::textWidth(box, columns));
    return box;
}

QPlainTextEdit *makeTextArea(QWidget *parent, const QString &name, const QString &accessibleName, int columns)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    // Tab moves on to the next field; a line break separates numbers or goods.
    box->setTabChangesFocus(true);
    box->setMinimumWidth(Widgets::textWidth(box, columns));
    box->setFixedHeight(Widgets::textHeight(box, 3) + 2 * box->frameWidth() + 8);
    return box;
}

// The check before writing: every winning number large, class by class, to
// be compared with the published list. True when the user says they agree.
bool confirmNumbers(QWidget *parent, const DataEditInput &input)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmDataConfirm"));
    dialog.setWindowTitle(QStringLiteral("当選番号の確認"));
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Look::paintWindowBackground(&dialog);

    QLabel *type = makeLabel(&dialog, QStringLiteral("lblConfirmType"),
        modNengajo::TypeCaptionText(input.strType.trimmed(), modNengajo::DataEditYear(input)));
    type->setFont(Fonts::font(Fonts::UIGothic, 11.25));
    QLabel *note = makeLabel(&dialog, QStringLiteral("lblConfirmNote"),
        QStringLiteral("公表された当選番号と見比べてください") + modNengajo::CrLf
            + QStringLiteral("１けたでも違うと、当たったはがきを「はずれ」と判定してしまいます。"));

    const QFont large = Fonts::font(Fonts::PGothic, 20);
    auto *table = new QGridLayout;
    table->setHorizontalSpacing(16);
    table->setVerticalSpacing(8);
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const QStringList numbers = modNengajo::SplitNumbers(input.strNumbers[k]);
        if (numbers.isEmpty())
            continue;
        QLabel *caption = makeLabel(&dialog, indexed(QStringLiteral("lblConfirmToukyuu"), k), classCaption(k));
        caption->setFont(Fonts::font(Fonts::PGothic, 12));
        const qsizetype digits = numbers.first().size();
        QLabel *keta = makeLabel(&dialog, indexed(QStringLiteral("lblConfirmKeta"), k),
            digits >= 6 ? QStringLiteral("（6桁）") : QStringLiteral("（下%1桁）").arg(digits));
        QLabel *shown = makeLabel(&dialog, indexed(QStringLiteral("lblConfirmNumbers"), k), numbers.join(u"　"));
        shown->setFont(large);
        shown->setWordWrap(true);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        shown->setMinimumWidth(QFontMetrics(large).horizontalAdvance(QStringLiteral("000000　000000　000000")));
        table->addWidget(caption, k, 0, Qt::AlignLeft | Qt::AlignVCenter);
        table->addWidget(keta, k, 1, Qt::AlignLeft | Qt::AlignVCenter);
        table->addWidget(shown, k, 2);
    }

    QPushButton *ok = Widgets::makeButton(&dialog, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    QPushButton *cancel = Widgets::makeButton(&dialog, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    for (QPushButton *button : {ok, cancel})
        button->setMinimumWidth(Widgets::textWidth(button, 7));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(type);
    layout->addWidget(note);
    layout->addLayout(table);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

frmDataEdit::frmDataEdit(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDataEdit"));
    setWindowTitle(QStringLiteral("当選番号データの作成"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    Look::paintWindowBackground(this);
    buildControls();

    // The prize structure repeats from year to year: the data in force give
    // the goods and the digits of each class; the numbers and dates are new.
    // The cards of a year are drawn in January of that year, so today's year
    // is the year of the draw being entered.
    const WinningData &data = modNengajo::winningData();
    DataEditInput start = modNengajo::DataEditFrom(data, false);
    start.strType = QStringLiteral("年賀状");
    start.strEra = modNengajo::EraReiwa;
    const int reiwa = platform::Service<platform::Clock>::get().today().year() - 2018;
    start.strYear = reiwa > 0 ? QString::number(reiwa) : QString();
    fill(start, true);
    showDigitHints(modNengajo::DigitCounts(data));

    const QSignalBlocker blocker(cboBase);
    for (const DataFileEntry &entry : modNengajo::ListDataFiles())
        cboBase->addItem(entry.strName, entry.strName + DataFileSuffix);
    cboBase->setCurrentIndex(cboBase->findData(data.strFileName));
    cmdOpen->setEnabled(cboBase->count() > 0);

    showProblems();
    txtNumbers[0]->setFocus();
}

void frmDataEdit::buildControls()
{
    const auto addProblemLabel = [this](const QString &field) {
        QLabel *label = makeLabel(this, QStringLiteral("lblCheck_") + field, QString());
        Look::setColour(label, QPalette::WindowText, Look::Urgent);
        label->setMinimumHeight(label->fontMetrics().height());
        m_problemLabels.insert(field, label);
        return label;
    };
    const auto caption = [this](const QString &text, QWidget *buddy) {
        QLabel *label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };

    // The file to start from, or to open and correct.
    cboBase = new QComboBox(this);
    cboBase->setObjectName(QStringLiteral("cboBase"));
    cboBase->setAccessibleName(QStringLiteral("もとにするデータ"));
    cboBase->setMinimumWidth(Widgets::textWidth(cboBase, 16));
    cmdOpen = Widgets::makeButton(this, QStringLiteral("cmdOpen"), QStringLiteral("開く(&O)"));
    cmdOpen->setToolTip(QStringLiteral("選んだデータの番号と日付も読み込み、そのファイルを直します"));

    txtType = makeLineEdit(this, QStringLiteral("txtType"), QStringLiteral("はがきの種類"), 12);
    cboEra = new QComboBox(this);
    cboEra->setObjectName(QStringLiteral("cboEra"));
    cboEra->setAccessibleName(QStringLiteral("元号"));
    cboEra->addItems({modNengajo::EraReiwa, modNengajo::EraHeisei});
    txtYear = makeLineEdit(this, QStringLiteral("txtYear"), QStringLiteral("年"), 3);
    txtYear->setMaximumWidth(Widgets::textWidth(txtYear, 4));
    txtYear->setInputMethodHints(Qt::ImhDigitsOnly);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(2);
    int row = 0;
    const auto addRow = [&](const QString &text, QWidget *buddy, QLayout *fields, const QStringList &checked) {
        form->addWidget(caption(text, buddy), row, 0);
        form->addLayout(fields, row, 1);
        ++row;
        auto *problems = new QHBoxLayout;
        for (const QString &field : checked)
            problems->addWidget(addProblemLabel(field), 1);
        form->addLayout(problems, row, 1);
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
    addRow(QStringLiteral("はがきの種類(&T)"), txtType, line({txtType}), {QStringLiteral("txtType")});
    addRow(QStringLiteral("年(&Y)"), cboEra, line({cboEra, txtYear, new QLabel(QStringLiteral("年度版"), this)}),
        {QStringLiteral("txtYear")});

    // The classes: numbers and goods side by side, the problems under them.
    auto *classes = new QGridLayout;
    classes->setHorizontalSpacing(8);
    classes->setVerticalSpacing(2);
    classes->addWidget(new QLabel(QStringLiteral("等級"), this), 0, 0);
    classes->addWidget(new QLabel(QStringLiteral("当選番号（空白・カンマ・改行で区切る）"), this), 0, 1);
    classes->addWidget(new QLabel(QStringLiteral("賞品（１行に１つ、いくつかあれば１点選択）"), this), 0, 2);
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        txtNumbers[k] = makeTextArea(
            this, indexed(QStringLiteral("txtNumbers"), k), classCaption(k) + QStringLiteral("の当選番号"), 14);
        txtNumbers[k]->setInputMethodHints(Qt::ImhDigitsOnly);
        txtSyouhin[k] = makeTextArea(
            this, indexed(QStringLiteral("txtSyouhin"), k), classCaption(k) + QStringLiteral("の賞品"), 26);
        QLabel *name = caption(classCaption(k), txtNumbers[k]);
        classes->addWidget(name, 1 + 2 * k, 0, Qt::AlignTop);
        classes->addWidget(txtNumbers[k], 1 + 2 * k, 1);
        classes->addWidget(txtSyouhin[k], 1 + 2 * k, 2);
        auto *problems = new QHBoxLayout;
        problems->addWidget(addProblemLabel(txtNumbers[k]->objectName()), 1);
        classes->addLayout(problems, 2 + 2 * k, 1, 1, 2);
    }
    classes->setColumnStretch(2, 1);

    auto *dates = new QGridLayout;
    dates->setHorizontalSpacing(8);
    dates->setVerticalSpacing(2);
    row = 0;
    txtDrawDate = makeLineEdit(this, QStringLiteral("txtDrawDate"), QStringLiteral("抽せん日"), 8);
    txtExchangeFrom = makeLineEdit(this, QStringLiteral("txtExchangeFrom"), QStringLiteral("引換期間の初日"), 8);
    txtExchangeTo = makeLineEdit(this, QStringLiteral("txtExchangeTo"), QStringLiteral("引換期間の最終日"), 8);
    txtURL = makeLineEdit(this, QStringLiteral("txtURL"), QStringLiteral("関連URL"), 24);
    const auto calendar = [this](QLineEdit *box) {
        box->setPlaceholderText(QStringLiteral("例：2027/1/19"));
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("cmdCalendar_") + box->objectName());
        button->setText(QStringLiteral("…"));
        button->setAccessibleName(box->accessibleName() + QStringLiteral("をカレンダーで選ぶ"));
        button->setToolTip(QStringLiteral("カレンダーから選ぶ"));
        button->setPopupMode(QToolButton::InstantPopup);
        auto *menu = new QMenu(button);
        auto *picker = new QCalendarWidget(menu);
        picker->setObjectName(QStringLiteral("calendar_") + box->objectName());
        // Month and weekday names in Japanese, the week from Sunday, as the
        // calendars the dates are read from are printed.
        picker->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
        picker->setFirstDayOfWeek(Qt::Sunday);
        picker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        auto *action = new QWidgetAction(menu);
        action->setDefaultWidget(picker);
        menu->addAction(action);
        button->setMenu(menu);
        connect(menu, &QMenu::aboutToShow, picker, [picker, box] {
            const QDate typed = modNengajo::ParseTypedDate(box->text());
            picker->setSelectedDate(typed.isValid() ? typed : platform::Service<platform::Clock>::get().today());
        });
        connect(picker, &QCalendarWidget::clicked, box, [box, menu](QDate date) {
            box->setText(date.toString(u"yyyy/M/d"));
            menu->close();
        });
        auto *layout = new QHBoxLayout;
        layout->setSpacing(2);
        layout->addWidget(box);
        layout->addWidget(button);
        return layout;
    };
    const auto addDates
        = [&](const QString &text, QWidget *buddy, QList<QLayout *> fields, const QStringList &checked) {
              dates->addWidget(caption(text, buddy), row, 0);
              auto *fieldLine = new QHBoxLayout;
              for (qsizetype i = 0; i < fields.size(); ++i) {
                  if (i > 0)
                      fieldLine->addWidget(new QLabel(QStringLiteral("～"), this));
                  fieldLine->addLayout(fields.at(i));
              }
              fieldLine->addStretch(1);
              dates->addLayout(fieldLine, row++, 1);
              auto *problems = new QHBoxLayout;
              for (const QString &field : checked)
                  problems->addWidget(addProblemLabel(field), 1);
              dates->addLayout(problems, row++, 1);
          };
    addDates(QStringLiteral("抽せん日(&D)"), txtDrawDate, {calendar(txtDrawDate)}, {QStringLiteral("txtDrawDate")});
    addDates(QStringLiteral("賞品の引換期間(&E)"), txtExchangeFrom,
        {calendar(txtExchangeFrom), calendar(txtExchangeTo)},
        {QStringLiteral("txtExchangeFrom"), QStringLiteral("txtExchangeTo")});
    dates->addWidget(caption(QStringLiteral("関連URL(&U)"), txtURL), row, 0);
    dates->addWidget(txtURL, row++, 1);
    dates->addWidget(addProblemLabel(QStringLiteral("txtURL")), row++, 1);
    dates->setColumnStretch(1, 1);

    cmdSave = Widgets::makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("保存(&S)"));
    cmdCancel = Widgets::makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"));
    for (QPushButton *button : {cmdSave, cmdCancel})
        button->setMinimumWidth(Widgets::textWidth(button, 7));
    cmdSave->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(makeLabel(this, QStringLiteral("lblSaveNote"),
                           QStringLiteral("保存の前に、入力した番号を大きく表示して確かめます。")),
        1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addLayout(form);
    layout->addLayout(classes);
    layout->addLayout(dates);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cboBase, &QComboBox::currentIndexChanged, this, &frmDataEdit::cboBase_Change);
    connect(cmdOpen, &QPushButton::clicked, this, &frmDataEdit::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmDataEdit::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit *box : {txtType, txtYear, txtDrawDate, txtExchangeFrom, txtExchangeTo, txtURL})
        connect(box, &QLineEdit::textChanged, this, &frmDataEdit::showProblems);
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        connect(txtNumbers[k], &QPlainTextEdit::textChanged, this, &frmDataEdit::showProblems);
        connect(txtSyouhin[k], &QPlainTextEdit::textChanged, this, &frmDataEdit::showProblems);
    }
    connect(cboEra, &QComboBox::currentIndexChanged, this, &frmDataEdit::showProblems);
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
    if (!everything)
        return;
    cboEra->setCurrentText(input.strEra);
    txtYear->setText(input.strYear);
    for (int k = 0; k < DataEditInput::ClassCount; ++k)
        txtNumbers[k]->setPlainText(input.strNumbers[k]);
    txtDrawDate->setText(input.strDrawDate);
    txtExchangeFrom->setText(input.strExchangeFrom);
    txtExchangeTo->setText(input.strExchangeTo);
    txtURL->setText(input.strUrl);
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
    const QList<DataEditProblem> problems = modNengajo::CheckDataEdit(input());
    for (const DataEditProblem &problem : problems) {
        if (QLabel *label = m_problemLabels.value(problem.field))
            label->setText(problem.message);
    }
    cmdSave->setEnabled(problems.isEmpty());
}

bool frmDataEdit::readBase(WinningData &data, QString &fileName) const
{
    fileName = cboBase->currentData().toString();
    if (!fileName.isEmpty() && modNengajo::ReadDataFile(fileName, data))
        return true;
    platform::showMessage(modNengajo::MessageTitle,
        QStringLiteral("当選番号データファイル\"") + fileName + QStringLiteral("\"を読み込めませんでした。"),
        platform::MessageBox::Icon::Warning);
    return false;
}

void frmDataEdit::cboBase_Change()
{
    WinningData data;
    QString fileName;
    if (!readBase(data, fileName))
        return;
    // The structure of another draw: what was typed for this one stays.
    fill(modNengajo::DataEditFrom(data, false), false);
    showDigitHints(modNengajo::DigitCounts(data));
}

void frmDataEdit::cmdOpen_Click()
{
    WinningData data;
    QString fileName;
    if (!readBase(data, fileName))
        return;
    fill(modNengajo::DataEditFrom(data, true), true);
    showDigitHints(modNengajo::DigitCounts(data));
    m_openedFileName = fileName;
}

void frmDataEdit::cmdSave_Click()
{
    using platform::MessageBox;
    const DataEditInput typed = input();
    if (!modNengajo::CheckDataEdit(typed).isEmpty())
        return;
    // OK writes; キャンセル goes back to the fields as they are.
    if (!confirmNumbers(this, typed))
        return;

    const QString title = modNengajo::DataEditTitle(typed);
    const QString fileName = title + DataFileSuffix;
    // A file of that name in any data folder is the one the card-type dialog
    // would load; the new one takes its place only when the user agrees.
    if (fileName != m_openedFileName && QFileInfo(platform::dataFilePath(fileName)).isFile()
        && platform::showMessage(modNengajo::MessageTitle,
               QStringLiteral("当選番号データ\"") + title + QStringLiteral("\"はすでにあります。") + modNengajo::CrLf
                   + QStringLiteral("新しい内容で置き換えますか？"),
               MessageBox::Icon::Warning, MessageBox::Buttons::YesNo)
            != MessageBox::Answer::Yes)
        return;

    const DataWriteResult result
        = modNengajo::WriteDataFile(platform::newDataFolder(), title, modNengajo::DataEditXml(typed));
    if (!result.ok) {
        platform::showMessage(modNengajo::MessageTitle, result.message, MessageBox::Icon::Critical);
        return;
    }
    m_savedFileName = fileName;
    accept();
}
