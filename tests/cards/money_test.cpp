// Money at the wire's edge: what the game server's amounts read as, and how they are written.
#include "hallwire.h"
#include "rules/money.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Money, ServerAmountsReadAsWholeCentsAndAnythingElseReadsAsNothing)
{
    const std::pair<const char*, qint64> amounts[] = {
        {"0.00", 0}, {"00.00", 0}, {"05.00", 500}, {" 10.5 ", 1050}, {"-0.05", -5}, {"+1", 100}, {"7", 700},
        {"999999999999.99", 99999999999999},
    };
    for (const auto& [text, cents] : amounts) {
        const std::optional<Money> m = Money::parse(text);
        ASSERT_TRUE(m) << text;
        EXPECT_EQ(m->cents(), cents) << text;
        EXPECT_EQ(Money::parse(m->wire()), m) << text;   // what we write reads back the same
    }
    for (const char* text : {"", " ", ".5", "5.", "5.123", "1,00", "1e3", "1 000", "--1", "-", "0x10", "1.-5",
                             "1234567890123.00"})
        EXPECT_FALSE(Money::parse(text)) << text;
}

TEST(Money, AmountsAreWrittenWithTwoDecimalsWhateverTheirSign)
{
    EXPECT_EQ(Money::fromCents(0).wire(), "0.00");
    EXPECT_EQ(Money::fromCents(5).wire(), "0.05");
    EXPECT_EQ(Money::fromCents(-5).wire(), "-0.05");
    EXPECT_EQ(Money::fromCents(123456).text(), "1234.56");
    EXPECT_EQ(Money::fromCents(std::numeric_limits<qint64>::min()).wire(), "-92233720368547758.08");
    EXPECT_TRUE(Money::fromCents(-1) < Money::fromCents(0) && Money::fromCents(0) <= Money::fromCents(0));
}

// The hall's own files hold plain amounts: no sign, no spaces.
TEST(Money, TheHallsFilesTakeOnlyPlainAmounts)
{
    EXPECT_EQ(hallwire::ParseMoney("250.00"), 25000);
    EXPECT_EQ(hallwire::ParseMoney("3"), 300);
    for (const char* text : {"-1.00", "+1.00", " 1.00", "1.00 ", ""})
        EXPECT_FALSE(hallwire::ParseMoney(text)) << text;
    EXPECT_EQ(hallwire::FormatMoney(-250), "-2.50");
}
