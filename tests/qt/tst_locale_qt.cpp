#include "core/locale_number_cases.h"
#include "qt/locale_qt.h"

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

    for (const testing::NumberCase &row : testing::numberCases) {
        QTest::newRow(row.name) << QLocale(QString::fromLatin1(row.locale))
                                << QString::fromUtf8(row.text) << row.isNumber << row.value;
    }
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
