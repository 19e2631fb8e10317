#include "app/MainWindow.h"
#include "dialogs/DialogFlags.h"
#include "dialogs/EscapingDialogs.h"
#include "dialogs/QtDialogBackend.h"
#include "support/Modal.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestDialogs : public WindowTestCase {
    Q_OBJECT
private slots:

    // The colour dialog operation, through the scripted dialogs.
    void colourDialogOpensOnTheSlotColour();
    void pickedColourGoesEverywhere_data();
    void pickedColourGoesEverywhere();
    void sameColourRewritesTheTagLine();
    void cancelChangesNothing();

    // Qt's own dialogs, driven once each.
    void filterTextBecomesQtFilters();
    void refusalRules();
    void realSaveDialogAddsTheExtension();
    void realOpenDialogShowsBothLetterCases();
    void typedFullPathOpensAfterSavingElsewhere();
    void openTakesNamesAsTyped_data();
    void openTakesNamesAsTyped();
    void allFilesShowsNamesWithoutADot();
    void realColourDialog();
    void realMessageBox();
    void windowMessagesReadLeftToRight();

private:
};

void TestDialogs::colourDialogOpensOnTheSlotColour()
{
    QTest::mouseClick(m_probe->option(3), Qt::LeftButton);
    m_dialogs->answerCancel();
    QTest::mouseClick(m_probe->child<QPushButton>(QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(m_dialogs->colourRequests, QList<QColor>{QColor(0, 60, 0)});
    QCOMPARE(m_window->commonDialog().Flags, DialogFlags::RgbInit);
}

void TestDialogs::pickedColourGoesEverywhere_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QColor>("picked");
    QTest::addColumn<int>("changes"); // bars that move
    QTest::addColumn<QString>("part"); // the sample line that shows it
    QTest::newRow("pure red on the background") << 0 << QColor(255, 0, 0) << 3 << "background";
    QTest::newRow("0,124,0 on the active link") << 4 << QColor(0, 124, 0) << 1 << "activelink";
    QTest::newRow("a blue below 16 on the new link") << 2 << QColor(0, 124, 5) << 1 << "newlink";
    QTest::newRow("green only, visited link") << 3 << QColor(0, 61, 0) << 1 << "visitedlink";
    QTest::newRow("text") << 1 << QColor(17, 34, 51) << 3 << "Normal";
}

void TestDialogs::pickedColourGoesEverywhere()
{
    QFETCH(int, slot);
    QFETCH(QColor, picked);
    QFETCH(int, changes);
    QFETCH(QString, part);
    QTest::mouseClick(m_probe->option(slot), Qt::LeftButton);
    const QString before = m_window->tag().text();
    m_changes->clear();
    m_dialogs->answerColour(picked);
    m_window->findChild<QAction*>(QStringLiteral("ItemColor"))->trigger();

    QCOMPARE(m_changes->count(), changes);
    QCOMPARE(m_window->scheme().colour(slot), picked);
    QCOMPARE(m_probe->bars(), (QList<int>{picked.red(), picked.green(), picked.blue()}));
    QCOMPARE(slot == 0 ? m_probe->pageColour() : m_probe->fore(part), picked);
    const int start = BodyTag::blockStart(slot);
    const QString after = m_window->tag().text();
    QCOMPARE(after.mid(start - 1, 6), ValueText::hexColour(picked.red(), picked.green(), picked.blue()));
    // Only that colour block changed.
    QCOMPARE(after.left(start - 1), before.left(start - 1));
    QCOMPARE(after.mid(start + 5), before.mid(start + 5));
    QCOMPARE(m_probe->brokenInvariant(), QString());
}

void TestDialogs::sameColourRewritesTheTagLine()
{
    QTest::mouseClick(m_probe->option(2), Qt::LeftButton);
    m_probe->tagline()->setPlainText(QStringLiteral("typed"));
    m_changes->clear();
    m_dialogs->answerColour(QColor(0, 124, 0));
    m_window->findChild<QAction*>(QStringLiteral("ItemColor"))->trigger();
    QCOMPARE(m_changes->count(), 0);
    QCOMPARE(m_probe->taglineText(), m_window->tag().text());
    QCOMPARE(m_probe->taglineText().mid(46, 6), QStringLiteral("007C00"));
}

void TestDialogs::cancelChangesNothing()
{
    QTest::mouseClick(m_probe->option(1), Qt::LeftButton);
    m_probe->tagline()->setPlainText(QStringLiteral("typed"));
    const ColourScheme scheme = m_window->scheme();
    m_dialogs->answerCancel();
    QTest::keyClick(m_probe->tagline(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(m_dialogs->colourRequests.size(), 1);
    QCOMPARE(m_window->scheme(), scheme);
    QCOMPARE(m_probe->taglineText(), QStringLiteral("typed"));
    QCOMPARE(m_probe->fore(QStringLiteral("Normal")), QColor(0, 85, 170));
}

void TestDialogs::filterTextBecomesQtFilters()
{
    QCOMPARE(QtDialogBackend::nameFilters(QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*")),
        (QStringList{"Schemes(*.HLM) (*.HLM)", "ALL_FIles(*.*) (*)"}));
    QCOMPARE(QtDialogBackend::nameFilters(QStringLiteral("Pages|*.htm;*.html")), QStringList{"Pages (*.htm *.html)"});
    QCOMPARE(QtDialogBackend::nameFilters(QStringLiteral("Text|*.txt")), QStringList{"Text (*.txt)"});
    QCOMPARE(QtDialogBackend::nameFilters(QStringLiteral("odd|")), QStringList{"odd ()"});
    QCOMPARE(QtDialogBackend::nameFilters(QString()), QStringList());
}

void TestDialogs::refusalRules()
{
    QTemporaryDir dir;
    using namespace DialogFlags;
    const quint32 save = HideReadOnly | OverwritePrompt | PathMustExist | NoReadOnlyReturn;
    QVERIFY(QtDialogBackend::refusal(dir.filePath(QStringLiteral("new.HLM")), save, true).isEmpty());
    QVERIFY(!QtDialogBackend::refusal(dir.filePath(QStringLiteral("no/such/folder.HLM")), save, true).isEmpty());
    // The open dialog takes a name that does not exist.
    QVERIFY(QtDialogBackend::refusal(dir.filePath(QStringLiteral("missing.HLM")), save & ~OverwritePrompt, false)
                .isEmpty());
}

void TestDialogs::realSaveDialogAddsTheExtension()
{
    QTemporaryDir dir;
    QtDialogBackend backend;
    FileDialogRequest request{QStringLiteral("Hueloom Save File Dialog"),
        QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*"), 1, QStringLiteral("*.HLM"),
        DialogFlags::HideReadOnly | DialogFlags::OverwritePrompt | DialogFlags::PathMustExist
            | DialogFlags::NoReadOnlyReturn,
        dir.filePath(QStringLiteral("first.HLM"))};
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Hueloom Save File Dialog"));
        QCOMPARE(dialog->nameFilters(), (QStringList{"Schemes(*.HLM) (*.HLM)", "ALL_FIles(*.*) (*)"}));
        QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Schemes(*.HLM)"));
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        QCOMPARE(name->text(), QStringLiteral("first.HLM"));
        name->setText(QStringLiteral("typed"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QCOMPARE(backend.saveFile(nullptr, request), dir.filePath(QStringLiteral("typed.HLM")));

    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QCOMPARE(backend.saveFile(nullptr, request), std::nullopt);
}

void TestDialogs::realOpenDialogShowsBothLetterCases()
{
    QTemporaryDir dir;
    for (const char* name : {"upper.HLM", "lower.hlm", "other.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QtDialogBackend backend;
    FileDialogRequest request{QStringLiteral("Hueloom Open File Dialog"),
        QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*"), 1, QStringLiteral("*.HLM"),
        DialogFlags::HideReadOnly | DialogFlags::PathMustExist | DialogFlags::NoReadOnlyReturn,
        dir.filePath(QStringLiteral("upper.HLM"))};
    QStringList shown;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        QVERIFY(list);
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);
        for (int row = 0; row < 2; ++row)
            shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
        // A name that does not exist is accepted; reading it fails later with a clear message.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("absent.HLM"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QCOMPARE(backend.openFile(nullptr, request), dir.filePath(QStringLiteral("absent.HLM")));
    shown.sort();
    QCOMPARE(shown, (QStringList{"lower.hlm", "upper.HLM"}));
}

namespace {

const QString SchemeFilter = QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*");

FileDialogRequest openRequest(const QString& fileName)
{
    using namespace DialogFlags;
    return {QStringLiteral("Hueloom Open File Dialog"), SchemeFilter, 1, QStringLiteral("*.HLM"),
        HideReadOnly | PathMustExist | NoReadOnlyReturn, fileName};
}

// Types `text` into the name box of the file dialog that comes up next and presses Enter; `before`
// runs first on the dialog.
void typeIntoNextFileDialog(const QString& text, std::function<void(QFileDialog*)> before = {})
{
    whenModal<QFileDialog>([text, before](QFileDialog* dialog) {
        if (before)
            before(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, text);
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

void TestDialogs::typedFullPathOpensAfterSavingElsewhere()
{
    QTemporaryDir saved, elsewhere;
    QtDialogBackend backend;
    using namespace DialogFlags;
    const FileDialogRequest save{QStringLiteral("Hueloom Save File Dialog"), SchemeFilter, 1, QStringLiteral("*.HLM"),
        HideReadOnly | OverwritePrompt | PathMustExist | NoReadOnlyReturn, saved.filePath(QStringLiteral("first.HLM"))};
    for (int round = 0; round < 4; ++round) {
        const QString target = elsewhere.filePath(QStringLiteral("scheme%1.hlm").arg(round));
        QVERIFY(QFile(target).open(QIODevice::WriteOnly));
        typeIntoNextFileDialog(saved.filePath(QStringLiteral("saved%1").arg(round)));
        const QString written = backend.saveFile(nullptr, save).value_or(QString());
        QCOMPARE(written, saved.filePath(QStringLiteral("saved%1.HLM").arg(round)));

        // Qt's dialog can keep a folder that the typed path went through selected in its list (here
        // the folder on screen, or the folder of the target): Open must stay enabled and Enter open the
        // typed file all the same.
        bool enabled = false;
        const QString folder = round % 2 ? saved.path() : elsewhere.path();
        typeIntoNextFileDialog(target, [&](QFileDialog* dialog) {
            auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
            auto* model = qobject_cast<QFileSystemModel*>(list->model());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QObject::connect(name, &QLineEdit::textChanged, dialog,
                [list, model, dialog, target, folder, &enabled](const QString& text) {
                    if (text != target)
                        return;
                    // The state Qt leaves behind: the folder first, then the typed file.
                    const auto rows = QItemSelectionModel::Select | QItemSelectionModel::Rows;
                    list->selectionModel()->clearSelection();
                    list->selectionModel()->select(model->index(folder), rows);
                    list->selectionModel()->select(model->index(target), rows);
                    enabled = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->isEnabled();
                });
        });
        QCOMPARE(backend.openFile(nullptr, openRequest(written)).value_or(QString()), target);
        QVERIFY(enabled);
    }
}

void TestDialogs::openTakesNamesAsTyped_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("opened");
    QTest::newRow("a name without a dot that exists") << QStringList{"plain"} << "plain"
                                                      << "plain";
    QTest::newRow("lower-case extension") << QStringList{"foo.hlm"} << "foo.hlm"
                                          << "foo.hlm";
    QTest::newRow("mixed-case extension") << QStringList{"FOO.Hlm"} << "FOO.Hlm"
                                          << "FOO.Hlm";
    QTest::newRow("no extension typed, lower-case file") << QStringList{"foo.hlm"} << "foo"
                                                         << "foo.hlm";
    QTest::newRow("no extension typed, upper-case file") << QStringList{"bar.HLM"} << "bar"
                                                         << "bar.HLM";
    QTest::newRow("both exist") << QStringList{"both", "both.HLM"} << "both"
                                << "both";
    QTest::newRow("nothing there") << QStringList{} << "absent"
                                   << "absent";
}

void TestDialogs::openTakesNamesAsTyped()
{
    QFETCH(QStringList, files);
    QFETCH(QString, typed);
    QFETCH(QString, opened);
    QTemporaryDir dir;
    for (const QString& name : files)
        QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
    QtDialogBackend backend;
    typeIntoNextFileDialog(typed);
    QCOMPARE(backend.openFile(nullptr, openRequest(dir.filePath(QStringLiteral("start.HLM")))).value_or(QString()),
        dir.filePath(opened));
}

void TestDialogs::allFilesShowsNamesWithoutADot()
{
    QTemporaryDir dir;
    for (const char* name : {"README", "scheme.HLM"})
        QVERIFY(QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    QtDialogBackend backend;
    QStringList captions, shown;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < types->count(); ++i)
            captions << types->itemText(i);
        QTest::keyClick(types, Qt::Key_Down);
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);
        for (int row = 0; row < 2; ++row)
            shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
        dialog->reject();
    });
    backend.openFile(nullptr, openRequest(dir.filePath(QStringLiteral("scheme.HLM"))));
    QCOMPARE(captions, (QStringList{"Schemes(*.HLM)", "ALL_FIles(*.*)"}));
    shown.sort();
    QCOMPARE(shown, (QStringList{"README", "scheme.HLM"}));
}

void TestDialogs::realColourDialog()
{
    QtDialogBackend backend;
    whenModal<QColorDialog>([](QColorDialog* dialog) {
        QCOMPARE(dialog->currentColor(), QColor(0, 124, 0));
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    QCOMPARE(backend.chooseColour(nullptr, QColor(0, 124, 0), DialogFlags::RgbInit), QColor(1, 2, 3));
    whenModal<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
    QCOMPARE(backend.chooseColour(nullptr, QColor(0, 124, 0), DialogFlags::RgbInit), std::nullopt);
}

void TestDialogs::realMessageBox()
{
    QtDialogBackend backend;
    bool seen = false;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        seen = true;
        QCOMPARE(box->windowTitle(), QStringLiteral("Hueloom"));
        QCOMPARE(box->text(), QStringLiteral("<b>not markup</b>"));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        QTest::keyClick(box, Qt::Key_Return);
    });
    backend.message(nullptr, QStringLiteral("Hueloom"), QStringLiteral("<b>not markup</b>"));
    QVERIFY(seen);
}

// The seam the window's commands use shows a pasted override escaped, in a real box: its text, and the
// system's reason below it, read left to right, with no character left that could turn them round.
void TestDialogs::windowMessagesReadLeftToRight()
{
    EscapingDialogs dialogs(std::make_unique<QtDialogBackend>());
    QStringList shown;
    const auto read = [&](QMessageBox* box) {
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                QCOMPARE(label->textFormat(), Qt::PlainText);
        shown << box->text() << box->informativeText();
        QTest::keyClick(box, Qt::Key_Return);
    };
    whenModal<QMessageBox>(read);
    dialogs.message(nullptr, QStringLiteral("Hueloom"), u"\u201c\u202E#FF0000\u201d is not a colour.\n\nNext line"_qs);
    whenModal<QMessageBox>(read);
    dialogs.messageWithReason(nullptr, QStringLiteral("Hueloom"), QStringLiteral("There was an error."),
        u"\u201ca\u2067<b>.hlm\u201d is empty."_qs);
    QCOMPARE(shown.at(0), u"\u201c\\u{202E}#FF0000\u201d is not a colour.\n\nNext line"_qs);
    QCOMPARE(shown.at(2), QStringLiteral("There was an error."));
    QCOMPARE(shown.at(3), u"\u201ca\\u{2067}<b>.hlm\u201d is empty."_qs);
}

HUELOOM_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
