#pragma once

#include "core/DataEdit.h"

#include <QDialog>
#include <QHash>
#include <QMap>
#include <QSet>

#include <array>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QWidget;

// Entering a draw's winning numbers: a new data file typed in from the
// newspaper or the operator's page on the day of the draw, or an existing one
// corrected. Modal, created on the stack; once exec() has accepted, the file
// has been written and savedFileName() names it.
class frmDataEdit : public QDialog
{
    Q_OBJECT

public:
    // start: the data in force, whose goods and digits the new draw starts from.
    explicit frmDataEdit(const WinningData &start, QWidget *parent = nullptr);

    // The bare name of the data file written, with ".xml"; empty until saved.
    QString savedFileName() const { return m_savedFileName; }

    // What the fields hold now.
    DataEditInput input() const;

    // Asks before what was typed is thrown away.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The boxes' widths and heights from their fonts, and the window's height
    // from its screen.
    void applySizes();
    // Puts a data file's fields into the window; with everything, its
    // numbers, dates and address too.
    void fill(const DataEditInput &input, bool everything);
    // The file the input starts from: its digits as hints, and what the
    // confirmation holds the input up against.
    void setStart(const WinningData &data);
    void showDigitHints(const std::array<int, DataEditInput::ClassCount> &counts);
    void showProblems();
    // Reads the clipboard's text as published results into the fields; nothing is saved.
    void pasteResults();
    // Fills the fields from the data file chosen in cboBase (see fill) and
    // starts the input from it; tells the user and returns false when it
    // cannot be read.
    bool takeBase(bool everything);
    void cmdSave_Click();

    QComboBox *cboBase = nullptr;
    QPushButton *cmdOpen = nullptr;
    QLineEdit *txtType = nullptr;
    QComboBox *cboEra = nullptr;
    QLineEdit *txtYear = nullptr;
    QPushButton *cmdPasteResults = nullptr;
    QLabel *lblPasteResult = nullptr;
    std::array<QPlainTextEdit *, DataEditInput::ClassCount> txtNumbers {};
    std::array<QPlainTextEdit *, DataEditInput::ClassCount> txtSyouhin {};
    QLineEdit *txtDrawDate = nullptr;
    QLineEdit *txtExchangeFrom = nullptr;
    QLineEdit *txtExchangeTo = nullptr;
    QLineEdit *txtURL = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *m_saveNote = nullptr;
    QScrollArea *m_fields = nullptr;
    QHBoxLayout *m_buttons = nullptr;
    // The problem line under each field, and the control that holds the field.
    QMap<DataEditField, QLabel *> m_problemLabels;
    QMap<DataEditField, QWidget *> m_controlOf;
    // The field each control belongs to, and the fields the user went into
    // and those left again so far.
    QHash<QWidget *, DataEditField> m_fieldOf;
    QSet<DataEditField> m_enteredFields;
    QSet<DataEditField> m_leftFields;
    bool m_showAllProblems = false;
    // What the last paste found wrong, told at its field until the user types there.
    QMap<DataEditField, QString> m_pasteProblems;
    bool m_pasting = false;
    // What the fields held after the last fill: what differs was typed.
    DataEditInput m_filled;
    DataEditStart m_start;

    // The file opened with "開く": saving it again under its own name
    // corrects it in place without asking.
    QString m_openedFileName;
    QString m_savedFileName;
};
