#pragma once

#include "core/AtariHantei.h"

#include <QString>

class AtariBook;
class CheckRecord;
class DataInForce;

// The two-stage entry of one card, without the window: what a complete entry
// in the lower box (txtInputSimo2, the card's last two digits) or the upper box
// (txtInputKami4, its first four) means, the judgement against the data in
// force, and the card entered into the sitting and, when it has won, into the
// book. The window shows each Step and ends the card with enter().
class CardEntry
{
public:
    enum class Outcome {
        Incomplete, // fewer or more characters than the box takes: nothing happens
        NotNumeric, // a pasted text that is no number: refused (strInform says so), nothing judged
        Hazure, // the card has lost and ends
        Atari, // the card has won class intToukyu and ends
        Kami4, // the upper four digits decide; intToukyu names the first candidate's class
    };
    struct Step
    {
        Outcome outcome = Outcome::Incomplete;
        qint16 intToukyu = 0;
        // What the number line (lblInputNum) shows once the entry is judged.
        QString strInputNum;
        // The guidance line after a loss, the prompt for the upper digits, the
        // box's text for an entry that is no number.
        QString strInform;
    };

    // data, record and book outlive the entry.
    CardEntry(const DataInForce &data, CheckRecord &record, AtariBook &book);

    // After every change of the lower box's text, and of the upper box's.
    Step Simo2(const QString &text);
    Step Kami4(const QString &text);
    // Ends the card judged last: the sitting counts it, with its hit, and a
    // won card goes into the book.
    void enter();

    // "N等が当たりました！おめでとうございます。", N in full-width digits.
    static QString AtariText(qint16 intToukyu);
    // "N等の可能性あり！上４桁を入力してください".
    static QString Kami4Prompt(qint16 intToukyu);

private:
    // The book's id of the won card's entry, CheckRecord::InBookBefore, or 0.
    qint64 enterIntoBook(qint16 intToukyu);

    const DataInForce &m_data;
    CheckRecord &m_record;
    AtariBook &m_book;
    AtariHantei m_hantei;
    QString strSimo2;
    QString strKami4;
    // The card's number as far as it was typed, as the sitting keeps it.
    QString m_number;
};
