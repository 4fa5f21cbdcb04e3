// The advisory window of start-up.

#include <QTest>
#include <QTimer>

#include "gui/query_window.hpp"
#include "gui_tests.hpp"

namespace quarnex::testing {
namespace {

// Answers the advisory window once its modal loop runs.
int AskAndAnswer(const std::function<void(QueryWindow&)>& answer) {
    QueryWindow query(TwipScale(96.0));
    QTimer::singleShot(0, &query, [&] { answer(query); });
    return query.Ask();
}

class StartupTests : public QObject {
    Q_OBJECT
  private slots:
    void advisoryWindowLooksAsDesigned();
    void advisoryAnswers();
};

void StartupTests::advisoryWindowLooksAsDesigned() {
    QueryWindow query(TwipScale(96.0));
    QCOMPARE(query.windowTitle(), QString("Quarnex"));
    QCOMPARE(query.TextBox().toPlainText(),
             QString("Administrative Privileges Required\nFor Full Functionality\n"));
    QVERIFY(query.TextBox().isReadOnly());
    QCOMPARE(query.size(), QSize(314, 113));
    QCOMPARE(query.ContinueButton().text(), QString("Continue"));
    QCOMPARE(query.ExitButton().text(), QString("Exit"));
    QCOMPARE(query.ContinueButton().geometry(), QRect(32, 72, 81, 25));
    QCOMPARE(query.ExitButton().geometry(), QRect(200, 72, 81, 25));
}

void StartupTests::advisoryAnswers() {
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { q.ContinueButton().click(); }), 0);
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { q.ExitButton().click(); }), -1);
    // Closing it by its frame counts as Exit.
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { q.close(); }), -1);
    QCOMPARE(AskAndAnswer([](QueryWindow& q) { QTest::keyClick(&q, Qt::Key_Escape); }), -1);
}

}  // namespace

std::unique_ptr<QObject> MakeStartupTests() {
    return std::make_unique<StartupTests>();
}

}  // namespace quarnex::testing

#include "startup_test.moc"
