// The grid and its window: selecting slots and editing descriptions in place
// through real mouse and key events, scrolling, resizing and minimising.

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "commands/main_commands.hpp"
#include "gui_world.hpp"

namespace quarnex::testing {
namespace {

int Px(double twips) {
    return static_cast<int>(twips / 15.0 + 0.5);
}

class EditingTests : public QObject {
    Q_OBJECT
  private slots:
    void clicksScrollingAndEscapeMoveTheMarkersAndTheBox();
    void commitWritesTheDescriptionsFileOnce();
    void scrollMaximumKeepsSlot999InView();
    void sizesAndTheMinimisedState();
};

void EditingTests::clicksScrollingAndEscapeMoveTheMarkersAndTheBox() {
    GuiWorld w;
    w.ClickRow(5);
    w.ClickRow(4);
    QCOMPARE(w.Cell(5, 1) + "|" + w.Cell(4, 1), QString(" -----------| ----------- *"));
    w.DoubleClickRow(6);
    EditBox& edit = w.window.Edit();
    const int top = edit.y();
    QTest::keyClicks(&edit, "typed");
    // Header clicks change nothing and hand the keyboard back to the edit:
    // not the selection, nor where the columns and the box sit (" Disk
    // Description" and the line at its right end included).
    DiskGridView& grid = w.window.Grid();
    QHeaderView* header = grid.horizontalHeader();
    const QRect box = edit.geometry();
    const int column2 = grid.columnViewportPosition(2);
    for (const int x : {40, column2 + 30, column2 + grid.columnWidth(2) - 1}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    }
    QCOMPARE(w.Cell(6, 1) + "|" + w.Cell(4, 1), QString(" ----------- >| -----------"));
    QVERIFY(edit.hasFocus() && edit.geometry() == box);
    QCOMPARE(QList<int>({grid.horizontalScrollBar()->value(), grid.columnViewportPosition(2)}),
             QList<int>({0, column2}));

    w.window.GridScroll().setValue(3);  // row 6 is now the fourth row shown
    QVERIFY(edit.isVisible() && edit.y() == top - 2 * w.window.Grid().rowHeight(0));
    w.window.GridScroll().setValue(10);  // scrolled off the top
    QVERIFY(!edit.isVisible() && w.model.edit.EditingActive);
    w.window.GridScroll().setValue(1);
    QVERIFY(edit.isVisible() && edit.y() == top);
    QCOMPARE(edit.toPlainText(), QString("typed"));

    // Escape drops the text and restores the selection marker; with another
    // row clicked meanwhile, the edited row is left bare.
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCOMPARE(w.Cell(6, 1) + "|" + w.Cell(6, 2), QString(" ----------- *|"));
    w.DoubleClickRow(9);
    w.ClickRow(5);
    QCOMPARE(w.Cell(9, 1), QString(" ----------- >"));
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCOMPARE(w.Cell(9, 1) + "|" + w.Cell(5, 1), QString(" -----------| ----------- *"));
    w.window.GridScroll().setValue(3);  // the box stays hidden through scrolling
    w.window.GridScroll().setValue(1);
    QVERIFY(!edit.isVisible());
}

void EditingTests::commitWritesTheDescriptionsFileOnce() {
    GuiWorld w;
    const std::string path = w.MakeStore("store.img", "MYSTORE", {{9, "WORK009"}});
    QVERIFY(OpenStoreFile(w.ctx, path));
    w.DoubleClickRow(9);
    const int opens = w.devices.Count(FaultOp::Open);
    const int writes = w.devices.Count(FaultOp::Write);
    w.DoubleClickRow(9);
    QVERIFY(w.Cell(9, 1) == " WORK009     *" && w.devices.Count(FaultOp::Write) == writes);

    w.DoubleClickRow(9);
    const int oneLine = w.window.Edit().height();
    QTest::keyClicks(&w.window.Edit(), "Tax 2024");
    QTest::keyClick(&w.window.Edit(), Qt::Key_Return);
    QTest::keyClicks(&w.window.Edit(), "receipts");
    QVERIFY(w.window.Edit().height() > oneLine);  // the box grew by a line
    w.DoubleClickRow(9);
    QCOMPARE(w.Cell(9, 2), QString("Tax 2024\nreceipts"));
    QCOMPARE(w.devices.Count(FaultOp::Open), opens + 1);  // one replacement of the file
    QVERIFY(w.DisksTxt(path).find("Tax 2024") != std::string::npos);
    QVERIFY(w.window.Grid().rowHeight(8) > w.window.Grid().rowHeight(7));
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void EditingTests::scrollMaximumKeepsSlot999InView() {
    GuiWorld w;
    QScrollBar& scroll = w.window.GridScroll();
    for (int row = 990; row <= 999; ++row) {
        w.state.slotTable.SetDescription(row, "first\r\nsecond\r\nthird");
    }
    w.model.grid.FitRowHeights();
    scroll.setValue(1);  // the range follows the rows on the next move
    scroll.setValue(999);
    const int maximum = scroll.maximum();
    // Slot 999 ends inside the grid, and one row more would not fit.
    int rowsHeight = 0;
    for (int row = maximum; row <= 999; ++row) {
        rowsHeight += w.window.Grid().rowHeight(row - 1);
    }
    const int viewport = w.window.Grid().viewport()->height();
    QVERIFY(rowsHeight <= viewport + 1 &&
            rowsHeight + w.window.Grid().rowHeight(maximum - 2) > viewport);
}

void EditingTests::sizesAndTheMinimisedState() {
    GuiWorld w;
    DiskGridView& grid = w.window.Grid();
    // The header and 20 slot rows at first; every ID fits with its marker.
    QCOMPARE(grid.rowAt(grid.viewport()->height() - 3), 19);
    QVERIFY(QFontMetrics(grid.font()).horizontalAdvance(" 12345678901 >") < grid.columnWidth(1));
    QVERIFY(w.window.Frame().font().italic());

    // Wider: only the descriptions column and the edit box widen.
    w.DoubleClickRow(3);
    const QList<int> before{grid.columnWidth(0), grid.columnWidth(1), grid.columnWidth(2),
                            w.window.Edit().width()};
    w.window.resize(w.window.width() + 300, w.window.height() + 150);
    QTest::qWait(20);
    QCOMPARE((QList<int>{grid.columnWidth(0), grid.columnWidth(1), grid.columnWidth(2) - 300,
                         w.window.Edit().width() - 300}),
             before);

    // The outer frame, decorations included, keeps the smallest size.
    w.window.resize(200, 150);
    QTest::qWait(20);
    QCOMPARE(w.window.frameGeometry().size(), QSize(Px(kMinWindowWidth), Px(kMinWindowHeight)));

    // The companions follow the window into the minimised state and back.
    QWidget about, help;
    w.window.SetCompanions(Companions{&about, &help, {}, {}, {}, {}});
    about.show();
    const QRect placed = w.window.Frame().geometry();
    w.window.setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    QVERIFY(!about.isVisible() && !help.isVisible());
    QCOMPARE(w.window.Frame().geometry(), placed);  // nothing laid out meanwhile
    w.window.setWindowState(Qt::WindowNoState);
    QTest::qWait(20);
    QVERIFY(about.isVisible() && !help.isVisible());

    // Closed while restored, it stays closed through the next resize.
    about.hide();
    w.window.resize(w.window.width() + 10, w.window.height());
    w.window.setWindowState(Qt::WindowMinimized);
    w.window.setWindowState(Qt::WindowNoState);
    QTest::qWait(20);
    QVERIFY(!about.isVisible());
}

}  // namespace

std::unique_ptr<QObject> MakeEditingTests() {
    return std::make_unique<EditingTests>();
}

}  // namespace quarnex::testing

#include "editing_test.moc"
