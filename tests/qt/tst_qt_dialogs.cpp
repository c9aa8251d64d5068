#include "qt/input_box_qt.h"
#include "qt/message_box_qt.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace korvane {

namespace {

// Runs `act` on the modal box once it is up, while the box's own event loop runs. When none
// comes up within 30 seconds it fails the test and closes every window, so that whatever
// waits for a box returns.
void whenModal(QObject *context, std::function<void(QWidget *)> act,
    QDeadlineTimer deadline = QDeadlineTimer(30000))
{
    QTimer::singleShot(10, context, [context, act = std::move(act), deadline] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            act(modal);
        } else if (deadline.hasExpired()) {
            QTest::qFail("no modal box came up within 30 seconds", __FILE__, __LINE__);
            QApplication::closeAllWindows();
        } else {
            whenModal(context, act, deadline);
        }
    });
}

QPushButton *buttonLabelled(QWidget *box, const QString &text)
{
    for (QPushButton *button : box->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT

private slots:
    void inputBox_data();
    void inputBox();
    void inputBoxLooks();
    void messageBox();
};

void TestQtDialogs::inputBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("result");

    QTest::newRow("OK keeps the default")
        << QString() << QStringLiteral("确定") << QStringLiteral("10");
    QTest::newRow("OK with a typed entry")
        << QStringLiteral("25") << QStringLiteral("确定") << QStringLiteral("25");
    QTest::newRow("OK with an emptied field")
        << QStringLiteral("") << QStringLiteral("确定") << QString();
    QTest::newRow("Cancel gives the empty text")
        << QStringLiteral("25") << QStringLiteral("取消") << QString();
    QTest::newRow("Esc gives the empty text")
        << QStringLiteral("25") << QStringLiteral("Esc") << QString();
    QTest::newRow("closing gives the empty text")
        << QStringLiteral("25") << QStringLiteral("close") << QString();
}

void TestQtDialogs::inputBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, press);
    QFETCH(QString, result);

    whenModal(this, [&](QWidget *box) {
        auto *field = box->findChild<QLineEdit *>();
        if (!typed.isNull())
            field->setText(typed);
        if (press == QStringLiteral("Esc"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (press == QStringLiteral("close"))
            box->close();
        else
            QTest::mouseClick(buttonLabelled(box, press), Qt::LeftButton);
    });

    qt::InputBox inputBox;
    QCOMPARE(QString::fromStdString(inputBox.ask("请输入", "标题", "10")), result);
}

void TestQtDialogs::inputBoxLooks()
{
    QString title, label, field;
    bool hasOk = false, hasCancel = false, modal = false;
    whenModal(this, [&](QWidget *box) {
        title = box->windowTitle();
        label = box->findChild<QLabel *>()->text();
        field = box->findChild<QLineEdit *>()->text();
        hasOk = buttonLabelled(box, QStringLiteral("确定"));
        hasCancel = buttonLabelled(box, QStringLiteral("取消"));
        modal = box->isModal();
        box->close();
    });

    qt::InputBox inputBox;
    (void)inputBox.ask("请输入计算机关机倒计时分钟", "关机倒计时(分)", "10");

    QCOMPARE(title, QStringLiteral("关机倒计时(分)"));
    QCOMPARE(label, QStringLiteral("请输入计算机关机倒计时分钟"));
    QCOMPARE(field, QStringLiteral("10"));
    QVERIFY(hasOk && hasCancel && modal);
}

void TestQtDialogs::messageBox()
{
    QString title, text;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::Critical;
    whenModal(this, [&](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = int(box->buttons().size());
        QTest::mouseClick(buttonLabelled(box, QStringLiteral("确定")), Qt::LeftButton);
    });

    qt::MessageBox().show("时间输入错误，请重新输入");

    QCOMPARE(title, QStringLiteral("Korvane"));
    QCOMPARE(text, QStringLiteral("时间输入错误，请重新输入"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, 1);
}

} // namespace korvane

QTEST_MAIN(korvane::TestQtDialogs)
#include "tst_qt_dialogs.moc"
