#pragma once

#include "info/InfoWindow.h"
#include "web/PageJudgement.h"

#include <QAbstractTableModel>
#include <optional>

class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

// The last page Apply Tag, a dropped file or File > Open Page read, with every text of it judged in
// both colour schemes.
struct JudgedPage {
    QString fileName; // empty for the tag box
    PageJudgement light;
    PageJudgement dark;

    const PageJudgement& in(bool inDark) const { return inDark ? dark : light; }
};

// The texts of one judgement that need the author: every failure, then every text to review, each
// group in document order. A text that passes is only counted.
class PageCheckModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Ratio, Verdict, Selector, Text, Place, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setJudgement(const PageJudgement& judgement);
    const PageJudgement::Element& element(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The listed texts of `judgement` in the order they are shown.
    static QList<PageJudgement::Element> listed(const PageJudgement& judgement);
    // One text as a line of a report, as compilers place their messages:
    // `page.html:12:5: 2.31:1 (needs 4.5:1) "Fine print" #777777 on #FFFFFF`.
    static QString reportLine(const PageJudgement::Element& element);
    // "2.31:1 (needs 4.5:1)"
    static QString ratioText(const PageJudgement::Element& element);
    // "✗ fail: too faint", "? review: text over an image"
    static QString verdictText(const PageJudgement::Element& element);
    // "page.html:12", the file by its name alone
    static QString placeText(const PageJudgement::Element& element);

private:
    QList<PageJudgement::Element> m_rows;
};

// "Page Check": every text of the last judged page that fails or needs a look, in a table the keyboard
// moves through, with a summary of how many texts passed, failed and need review. Light and Dark show
// the page in either colour scheme; Ctrl+C copies the selected rows as lines of a report. With no page
// judged yet it says so and offers File > Open Page.
class PageCheckWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit PageCheckWindow(QWidget* parent = nullptr);

    void showPage(const std::optional<JudgedPage>& page);
    void showDark(bool dark);
    bool showsDark() const { return m_dark; }

    // The report lines of the selected rows, in the table's order.
    QString selectedReport() const;
    void copySelection() const;

    QTableView* table() const { return m_table; }
    QLabel* summary() const { return m_summary; }
    const PageCheckModel& model() const { return *m_model; }

    // The line above the table: the page, its scheme and its counts; or, with no page, what to do.
    static QString summaryText(const JudgedPage& page, bool dark);
    static QString noPageText();

signals:
    // The user asked for File > Open Page from the window.
    void openPageAsked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    PageCheckModel* m_model;
    QLabel* m_summary;
    QRadioButton* m_light;
    QRadioButton* m_darkButton;
    QTableView* m_table;
    QPushButton* m_openPage;
    std::optional<JudgedPage> m_page;
    bool m_dark = false;
};
