#include "platform/locale_qt.h"

#include <QTest>

namespace korvane {

class TestLocaleQt : public QObject {
    Q_OBJECT

private slots:
    void toNumber_data();
    void toNumber();
    void decimalSeparator();
    void timeText_data();
    void timeText();
};

void TestLocaleQt::toNumber_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("whole") << c << QStringLiteral("10") << true << 10.0;
    QTest::newRow("fraction") << c << QStringLiteral("1.5") << true << 1.5;
    QTest::newRow("negative") << c << QStringLiteral("-0.5") << true << -0.5;
    QTest::newRow("blanks around") << c << QStringLiteral("  7 ") << true << 7.0;
    QTest::newRow("tab around") << c << QStringLiteral("\t7\t") << true << 7.0;
    QTest::newRow("empty") << c << QString() << false << 0.0;
    QTest::newRow("only blanks") << c << QStringLiteral("   ") << false << 0.0;
    QTest::newRow("letters") << c << QStringLiteral("abc") << false << 0.0;
    QTest::newRow("number then letters") << c << QStringLiteral("10abc") << false << 0.0;
    QTest::newRow("two numbers") << c << QStringLiteral("1 2") << false << 0.0;
    QTest::newRow("nan") << c << QStringLiteral("nan") << false << 0.0;
    QTest::newRow("inf") << c << QStringLiteral("inf") << false << 0.0;
    QTest::newRow("minus inf") << c << QStringLiteral("-inf") << false << 0.0;
    QTest::newRow("overflow") << c << QStringLiteral("1e999") << false << 0.0;
    QTest::newRow("comma locale") << german << QStringLiteral("2,5") << true << 2.5;
    QTest::newRow("comma locale, whole") << german << QStringLiteral("999999") << true << 999999.0;
    QTest::newRow("comma locale, point is no decimal")
        << german << QStringLiteral("2.5") << false << 0.0;
}

void TestLocaleQt::toNumber()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);

    const std::optional<double> number = QtLocale(locale).toNumber(text.toStdString());

    QCOMPARE(number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*number, value);
}

void TestLocaleQt::decimalSeparator()
{
    QCOMPARE(QtLocale(QLocale::c()).decimalSeparator(), std::string("."));
    QCOMPARE(
        QtLocale(QLocale(QLocale::French, QLocale::France)).decimalSeparator(), std::string(","));
}

void TestLocaleQt::timeText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("C") << QLocale::c() << QStringLiteral("14:05:09");
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                            << QStringLiteral("14:05:09");
    QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                             << QStringLiteral("14:05:09");
}

void TestLocaleQt::timeText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);

    // The long formats of these locales end in a time zone, which must not show.
    QCOMPARE(QString::fromStdString(QtLocale(locale).timeText({ 14, 5, 9 })), text);
}

} // namespace korvane

QTEST_GUILESS_MAIN(korvane::TestLocaleQt)
#include "tst_locale_qt.moc"
