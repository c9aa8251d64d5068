#include "qt/platform_qt.h"

#include <QTest>

namespace korvane {

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
};

void TestPlatform::choice_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("platform");

    const QString x = QStringLiteral(":0");
    const QString wayland = QStringLiteral("wayland");
    const QString xcb = QStringLiteral("xcb");
    QTest::newRow("GNOME on Wayland") << QStringLiteral("GNOME") << wayland << x << "" << xcb;
    QTest::newRow("Ubuntu's GNOME") << QStringLiteral("ubuntu:GNOME") << wayland << x << "" << xcb;
    QTest::newRow("GNOME Classic")
        << QStringLiteral("GNOME-Classic:GNOME") << wayland << x << "" << xcb;
    QTest::newRow("no X display") << QStringLiteral("GNOME") << wayland << ""
                                  << ""
                                  << "";
    QTest::newRow("the user's choice") << QStringLiteral("GNOME") << wayland << x << wayland << "";
    QTest::newRow("GNOME on X11") << QStringLiteral("GNOME") << QStringLiteral("x11") << x << ""
                                  << "";
    QTest::newRow("Plasma draws its own") << QStringLiteral("KDE") << wayland << x << ""
                                          << "";
    QTest::newRow("sway draws its own") << QStringLiteral("sway") << wayland << x << ""
                                        << "";
    QTest::newRow("a name that only starts so") << QStringLiteral("GNOMEish") << wayland << x << ""
                                                << "";
    QTest::newRow("nothing known") << ""
                                   << ""
                                   << ""
                                   << ""
                                   << "";
}

void TestPlatform::choice()
{
    QFETCH(QString, desktop);
    QFETCH(QString, type);
    QFETCH(QString, display);
    QFETCH(QString, chosen);
    QFETCH(QString, platform);

    const qt::Session session { desktop.toStdString(), type.toStdString(), display.toStdString(),
        chosen.toStdString() };
    QCOMPARE(QString::fromStdString(qt::platformFor(session)), platform);
}

} // namespace korvane

QTEST_MAIN(korvane::TestPlatform)
#include "tst_platform_qt.moc"
