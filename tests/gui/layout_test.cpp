// The window's layout: its first size from the grid font, the resize rule,
// the minimum size and the companions that follow it into the minimised state.

#include <QHeaderView>
#include <QTest>

#include "gui_tests.hpp"
#include "gui_world.hpp"

namespace quarnex::testing {
namespace {

int Px(double twips) {
    return static_cast<int>(twips / 15.0 + 0.5);
}

class LayoutTests : public QObject {
    Q_OBJECT
  private slots:
    void firstSizeWiderAndSmallest();
    void companionsFollowTheMinimisedState();
};

void LayoutTests::firstSizeWiderAndSmallest() {
    GuiWorld w;
    DiskGridView& grid = w.window.Grid();
    // The header and 20 slot rows; slot 21 starts below the grid's lower edge.
    QCOMPARE(grid.rowAt(grid.viewport()->height() - 3), 19);
    QCOMPARE(w.window.Layout().gridHeight, 21 * w.model.grid.BaseRowHeight() + 330);
    QCOMPARE(grid.horizontalHeader()->height(), Px(w.model.grid.BaseRowHeight() + 15));
    // Every ID fits its column with the marker.
    const QFontMetrics metrics(grid.font());
    QVERIFY(metrics.horizontalAdvance(" 12345678901 >") < grid.columnWidth(1));
    QCOMPARE(w.window.Frame().font().italic(), true);

    // Wider: only the descriptions column and the edit box widen.
    w.DoubleClickRow(3);
    const int number = grid.columnWidth(0);
    const int id = grid.columnWidth(1);
    const int description = grid.columnWidth(2);
    const int editWidth = w.window.Edit().width();
    w.window.resize(w.window.width() + 300, w.window.height() + 150);
    QTest::qWait(20);
    QCOMPARE(grid.columnWidth(0), number);
    QCOMPARE(grid.columnWidth(1), id);
    QCOMPARE(grid.columnWidth(2), description + 300);
    QCOMPARE(w.window.Edit().width(), editWidth + 300);
    // The frame fills the window with equal margins left, right and below.
    const QRect frame = w.window.Frame().geometry();
    const QWidget* client = w.window.centralWidget();
    QCOMPARE(client->width() - frame.right() - 1, frame.left());
    QCOMPARE(client->height() - frame.bottom() - 1, frame.left());
    // The status strip keeps to the right edge of the frame.
    QCOMPARE(w.window.ProgressBar().geometry().right(), frame.right());
    QCOMPARE(w.window.ProgressLabel().x(), w.window.ProgressBar().x());
    QVERIFY(grid.rowAt(grid.viewport()->height() - 3) > 19);  // more rows show

    w.window.resize(200, 150);
    QTest::qWait(20);
    // The outer frame, decorations included, keeps the smallest size.
    QCOMPARE(w.window.frameGeometry().width(), Px(kMinWindowWidth));
    QCOMPARE(w.window.frameGeometry().height(), Px(kMinWindowHeight));
    const QSize larger = w.window.size() + QSize(40, 30);
    w.window.resize(larger);
    QTest::qWait(20);
    QCOMPARE(w.window.size(), larger);
}

void LayoutTests::companionsFollowTheMinimisedState() {
    GuiWorld w;
    QWidget about;
    QWidget help;
    Companions companions;
    companions.about = &about;
    companions.help = &help;
    w.window.SetCompanions(companions);
    about.show();
    const QRect frame = w.window.Frame().geometry();

    w.window.setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    QVERIFY(!about.isVisible());
    QVERIFY(!help.isVisible());
    QCOMPARE(w.window.Frame().geometry(), frame);  // nothing laid out meanwhile
    w.window.setWindowState(Qt::WindowNoState);
    QTest::qWait(20);
    QVERIFY(about.isVisible());
    QVERIFY(!help.isVisible());

    // Closed while restored, it stays closed through the next resize.
    about.hide();
    w.window.resize(w.window.width() + 10, w.window.height());
    w.window.setWindowState(Qt::WindowMinimized);
    w.window.setWindowState(Qt::WindowNoState);
    QTest::qWait(20);
    QVERIFY(!about.isVisible());
}

}  // namespace

std::unique_ptr<QObject> MakeLayoutTests() {
    return std::make_unique<LayoutTests>();
}

}  // namespace quarnex::testing

#include "layout_test.moc"
