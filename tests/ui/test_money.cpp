#include "ui/money.h"
#include <gtest/gtest.h>

namespace {

const QString thin(1, QChar(0x202F));

QString grouped(QString text) {
    return text.replace(u' ', thin);
}

TEST(Money, ShownWithTwoDecimalsACommaAndThinGroups) {
    EXPECT_EQ(ui::moneyText(240.0), "240,00");
    EXPECT_EQ(ui::moneyText(19.4), "19,40");
    // Converted purchase prices: long fractions are rounded to the grosz.
    EXPECT_EQ(ui::moneyText(194.858333), "194,86");
    EXPECT_EQ(ui::moneyText(0.038832), "0,04");
    EXPECT_EQ(ui::moneyText(999.995), "1" + thin + "000,00");
    EXPECT_EQ(ui::moneyText(1234567.891), grouped("1 234 567,89"));
    EXPECT_EQ(ui::moneyText(-1200.5), grouped("-1 200,50"));
    EXPECT_EQ(ui::moneyText(-0.001), "0,00");
    EXPECT_EQ(ui::moneyText(0.0), "0,00");
    // An empty price stays empty; a stored 0 is a price of 0.
    EXPECT_EQ(ui::moneyText(QVariant()), "");
    EXPECT_EQ(ui::moneyText(QVariant(QMetaType(QMetaType::Double))), "");
    EXPECT_EQ(ui::moneyText(QVariant(0.0)), "0,00");
}

TEST(Money, TypedGroupedOrWithAPointAlike) {
    for (const QString& typed :
         {QStringLiteral("1 200,50"), QStringLiteral("1200.50"), QStringLiteral("1200,5"),
          grouped(QStringLiteral("1 200,50")), QStringLiteral(" 1\u00A0200,50 ")}) {
        const auto v = ui::moneyFromText(typed);
        ASSERT_TRUE(v) << typed.toStdString();
        EXPECT_DOUBLE_EQ(v->toDouble(), 1200.5) << typed.toStdString();
    }
    // What the screen shows reads back as the same amount.
    EXPECT_DOUBLE_EQ(ui::moneyFromText(ui::moneyText(1234567.89))->toDouble(), 1234567.89);
    const auto empty = ui::moneyFromText(QStringLiteral("  "));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isNull());
    EXPECT_FALSE(ui::moneyFromText(QStringLiteral("12 zł")));
    EXPECT_FALSE(ui::moneyFromText(QStringLiteral("1,2,3")));
}

} // namespace
