// Selecting slots and editing descriptions in place, through real mouse and
// key events on the grid and the edit box.

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "commands/main_commands.hpp"
#include "gui_tests.hpp"
#include "gui_world.hpp"

namespace quarnex::testing {
namespace {

std::string IdCell(GuiWorld& w, int row) {
    return w.state.slotTable.Cell(row, 1);
}

// Sum of the pixel heights of grid rows from..to.
int RowsHeight(GuiWorld& w, int from, int to) {
    int sum = 0;
    for (int row = from; row <= to; ++row) {
        sum += w.window.Grid().rowHeight(row - 1);
    }
    return sum;
}

class EditingTests : public QObject {
    Q_OBJECT
  private slots:
    void clicksMoveTheMarkersAndHeaderClicksChangeNothing();
    void commitWritesTheDescriptionsFileOnce();
    void escapeRestoresTheRightMarker();
    void editBoxFollowsScrollingAndTyping();
    void scrollMaximumWithTallRowsAtTheEnd();
};

void EditingTests::clicksMoveTheMarkersAndHeaderClicksChangeNothing() {
    GuiWorld w;
    w.ClickRow(5);
    w.ClickRow(4);
    QCOMPARE(IdCell(w, 5), std::string(" -----------"));
    QCOMPARE(IdCell(w, 4), std::string(" ----------- *"));
    QCOMPARE(w.state.SelectedDisk, 4);
    // Without a store the menus stay as they were.
    QVERIFY(!w.window.Action(MenuId::Image_Menu_Import_USB_DISKxxx).isVisible());
    w.DoubleClickRow(6);
    w.TypeIntoEdit("typed");
    w.ClickHeader();
    QTest::mouseDClick(w.window.Grid().horizontalHeader()->viewport(), Qt::LeftButton, {},
                       QPoint(40, 5));
    QCOMPARE(w.state.SelectedDisk, 6);
    QCOMPARE(IdCell(w, 6), std::string(" ----------- >"));
    QCOMPARE(IdCell(w, 4), std::string(" -----------"));
    QVERIFY(w.window.Edit().isVisible());
    QCOMPARE(w.window.Edit().toPlainText(), QString("typed"));
    // The header click hands the keyboard back to the open edit.
    QVERIFY(w.window.Edit().hasFocus());
}

void EditingTests::commitWritesTheDescriptionsFileOnce() {
    GuiWorld w;
    const std::string path = w.MakeStore("store.img", "MYSTORE", {{9, "WORK009"}});
    QVERIFY(OpenStoreFile(w.ctx, path));
    QVERIFY(w.DisksTxt(path).size() > 0);
    const int base = w.model.grid.BaseRowHeight();

    // Opening and committing without a change writes nothing.
    w.DoubleClickRow(9);
    QVERIFY(w.window.Edit().isVisible());
    QCOMPARE(IdCell(w, 9), std::string(" WORK009     >"));
    const int flushes = w.devices.Count(FaultOp::Flush);
    const int writes = w.devices.Count(FaultOp::Write);
    w.DoubleClickRow(9);
    QVERIFY(!w.window.Edit().isVisible());
    QCOMPARE(IdCell(w, 9), std::string(" WORK009     *"));
    QCOMPARE(w.devices.Count(FaultOp::Write), writes);

    // A changed text goes to the grid, the table and the file, once.
    w.DoubleClickRow(9);
    const int oneLine = w.window.Edit().height();
    w.TypeIntoEdit("Tax 2024");
    QTest::keyClick(&w.window.Edit(), Qt::Key_Return);
    w.TypeIntoEdit("receipts");
    QVERIFY(w.window.Edit().height() > oneLine);  // the box grew by a line
    w.DoubleClickRow(9);
    QVERIFY(!w.window.Edit().isVisible());
    QCOMPARE(w.state.slotTable.Cell(9, 2), std::string("Tax 2024\r\nreceipts"));
    QCOMPARE(w.state.slotTable.DiskDescriptions[9], std::string("Tax 2024\r\nreceipts"));
    QCOMPARE(w.window.Grid().model()->index(8, 2).data().toString(), QString("Tax 2024\nreceipts"));
    QCOMPARE(w.devices.Count(FaultOp::Flush), flushes + 1);
    QVERIFY(w.DisksTxt(path).find("Tax 2024") != std::string::npos);
    QVERIFY(w.model.grid.RowHeight(9) > base);
    QVERIFY(w.window.Grid().rowHeight(8) > w.window.Grid().rowHeight(7));
    QCOMPARE(w.devices.OpenHandles(), 0);
}

void EditingTests::escapeRestoresTheRightMarker() {
    GuiWorld w;
    w.state.slotTable.SetCell(9, 2, "old text");
    w.DoubleClickRow(9);
    w.TypeIntoEdit(" and more");
    QTest::keyClick(&w.window.Edit(), Qt::Key_Escape);
    QVERIFY(!w.window.Edit().isVisible());
    QCOMPARE(IdCell(w, 9), std::string(" ----------- *"));
    QCOMPARE(w.state.slotTable.Cell(9, 2), std::string("old text"));

    // Another row clicked while row 9 is edited: Escape leaves row 9 bare.
    w.DoubleClickRow(9);
    w.ClickRow(5);
    QCOMPARE(IdCell(w, 9), std::string(" ----------- >"));
    QTest::keyClick(&w.window.Edit(), Qt::Key_Escape);
    QCOMPARE(IdCell(w, 9), std::string(" -----------"));
    QCOMPARE(IdCell(w, 5), std::string(" ----------- *"));
    // The box stays hidden through later scrolling.
    w.window.GridScroll().setValue(3);
    w.window.GridScroll().setValue(1);
    QVERIFY(!w.window.Edit().isVisible());
}

void EditingTests::editBoxFollowsScrollingAndTyping() {
    GuiWorld w;
    w.DoubleClickRow(4);
    const int top = w.window.Edit().y();
    w.TypeIntoEdit("kept");
    w.window.GridScroll().setValue(3);  // row 4 is now the second row shown
    QVERIFY(w.window.Edit().isVisible());
    QCOMPARE(w.window.Edit().y(), top - 2 * w.window.Grid().rowHeight(0));
    w.window.GridScroll().setValue(10);  // scrolled off the top
    QVERIFY(!w.window.Edit().isVisible());
    QVERIFY(w.model.edit.EditingActive);
    w.window.GridScroll().setValue(1);
    QVERIFY(w.window.Edit().isVisible());
    QCOMPARE(w.window.Edit().y(), top);
    QCOMPARE(w.window.Edit().toPlainText(), QString("kept"));

    // Near the bottom the box is cut off at the grid's lower edge.
    w.DoubleClickRow(20);
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(&w.window.Edit(), Qt::Key_Return);
    }
    const QRect grid = w.window.Grid().geometry();
    QVERIFY(w.window.Edit().isVisible());
    QVERIFY(w.window.Edit().geometry().bottom() <= grid.bottom());
}

void EditingTests::scrollMaximumWithTallRowsAtTheEnd() {
    GuiWorld w;
    QScrollBar& scroll = w.window.GridScroll();
    scroll.setValue(999);
    const int oneLineMaximum = scroll.maximum();
    QCOMPARE(w.window.TopRow(), oneLineMaximum);
    QVERIFY(oneLineMaximum < 999);

    for (int row = 990; row <= 999; ++row) {
        w.state.slotTable.SetCell(row, 2, "first\r\nsecond\r\nthird");
        w.model.grid.SetRowHeight(
            row, static_cast<int>(w.model.grid.DescriptionRowHeight("a\r\nb\r\nc")));
    }
    // The range follows the texts on the next move of the bar.
    scroll.setValue(1);
    scroll.setValue(999);
    const int tallMaximum = scroll.maximum();
    // Fewer tall rows fit, so the last top row lies further down.
    QVERIFY(tallMaximum > oneLineMaximum);
    QCOMPARE(w.window.TopRow(), tallMaximum);
    // Slot 999 ends inside the grid, and one row more would not fit.
    const int viewport = w.window.Grid().viewport()->height();
    QVERIFY(RowsHeight(w, tallMaximum, 999) <= viewport + 1);
    QVERIFY(RowsHeight(w, tallMaximum - 1, 999) > viewport);
}

}  // namespace

std::unique_ptr<QObject> MakeEditingTests() {
    return std::make_unique<EditingTests>();
}

}  // namespace quarnex::testing

#include "editing_test.moc"
