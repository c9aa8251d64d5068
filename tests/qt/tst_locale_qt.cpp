#include "core/locale_number_cases.h"
#include "qt/locale_qt.h"

#include <QRegularExpression>
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
    void timeTextInEveryLocale_data();
    void timeTextInEveryLocale();
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

    const std::optional<double> number = qt::Locale(locale).toNumber(text.toStdString());

    QCOMPARE(number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*number, value);
}

void TestLocaleQt::decimalSeparator()
{
    QCOMPARE(qt::Locale(QLocale::c()).decimalSeparator(), std::string("."));
    QCOMPARE(
        qt::Locale(QLocale(QLocale::French, QLocale::France)).decimalSeparator(), std::string(","));
}

void TestLocaleQt::timeText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    // Their long formats end in a time zone, bare or in brackets, or start with one; zh_TW's
    // has CLDR's day period, which QLocale cannot format.
    QTest::newRow("C") << QLocale::c() << QStringLiteral("14:05:09");
    QTest::newRow("es_ES") << QLocale(QStringLiteral("es_ES")) << QStringLiteral("14:05:09");
    QTest::newRow("be_BY") << QLocale(QStringLiteral("be_BY")) << QStringLiteral("14:05:09");
    QTest::newRow("fa_IR") << QLocale(QStringLiteral("fa_IR")) << QStringLiteral("۱۴:۰۵:۰۹");
    QTest::newRow("en_US") << QLocale(QStringLiteral("en_US")) << QStringLiteral("2:05:09 PM");
    QTest::newRow("zh_CN") << QLocale(QStringLiteral("zh_CN")) << QStringLiteral("14:05:09");
    QTest::newRow("zh_HK") << QLocale(QStringLiteral("zh_HK")) << QStringLiteral("下午2:05:09");
    QTest::newRow("zh_TW") << QLocale(QStringLiteral("zh_TW")) << QStringLiteral("下午2:05:09");
    QTest::newRow("bg_BG") << QLocale(QStringLiteral("bg_BG")) << QStringLiteral("14:05:09 ч.");
}

void TestLocaleQt::timeText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(qt::Locale(locale).timeText({ 14, 5, 9 })), text);
}

void TestLocaleQt::timeTextInEveryLocale_data()
{
    QTest::addColumn<QLocale>("locale");

    for (const QLocale &locale :
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
        QTest::newRow(qPrintable(locale.bcp47Name())) << locale;
}

void TestLocaleQt::timeTextInEveryLocale()
{
    QFETCH(QLocale, locale);

    const QString text = QString::fromStdString(qt::Locale(locale).timeText({ 14, 37, 56 }));

    QVERIFY2(
        !text.contains(QRegularExpression(QStringLiteral(R"(\(\s*\)|\[\s*\])"))), qPrintable(text));
    QCOMPARE(text, text.trimmed());
    QVERIFY2(!text.endsWith(u','), qPrintable(text));
    // A Latin letter is either the locale's AM/PM text or quoted in its format.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString words = locale.amText() + locale.pmText();
    for (qsizetype open = format.indexOf(u'\''); open >= 0;) {
        const qsizetype close = format.indexOf(u'\'', open + 1);
        words += format.mid(open, close - open);
        open = close < 0 ? -1 : format.indexOf(u'\'', close + 1);
    }
    for (const QChar c : text) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
            QVERIFY2(words.contains(c, Qt::CaseInsensitive), qPrintable(text));
    }
    QVERIFY2(
        text.contains(locale.toString(14)) || text.contains(locale.toString(2)), qPrintable(text));
    QVERIFY2(text.contains(locale.toString(37)), qPrintable(text));
    QVERIFY2(text.contains(locale.toString(56)), qPrintable(text));
}

} // namespace korvane

QTEST_GUILESS_MAIN(korvane::TestLocaleQt)
#include "tst_locale_qt.moc"
