// The filter expression and the query's SQL lines, compared line by line with what the item
// table and the item query are meant to receive.
#include "search/filterbuilder.h"
#include "search/querybuilder.h"
#include "store/mainstate.h"
#include "support/printing.h"
#include <gtest/gtest.h>

using namespace search;

namespace {

// The lines joined by "|", as the tests write them.
QString built(store::QueryState q) {
    setJoinFlags(q);
    const std::optional<QStringList> l = queryLines(q);
    return l ? l->join(u'|') : QStringLiteral("<refused>");
}

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

TEST(FilterExpression, RowsInOrderOnlyWithOperatorAndText) {
    store::FilterState f;
    f.groupNr = 4;
    f.groupOp = 1; // not consulted: a picked group is a choice
    EXPECT_EQ(filterExpression(f), u8("tow_grupa_nr=4"));
    f.name1 = u8("ŚRUBA");
    EXPECT_EQ(filterExpression(f), u8("tow_grupa_nr=4")); // no operator: nothing, no " and"
    f.name1Op = FilterStartsWith;
    f.producerNr = 17;
    EXPECT_EQ(filterExpression(f),
              u8("tow_grupa_nr=4 and tow_nazwa = 'ŚRUBA*' and tow_nr_producent=17"));

    store::FilterState g;
    g.producerCode = u8("K-1");
    g.producerCodeOp = FilterEquals;
    g.symbol = u8("S");
    g.symbolOp = FilterStartsWith;
    g.name2 = u8("b");
    g.name2Op = FilterEquals;
    g.name1Op = FilterNothing;
    g.name1 = u8("a");
    EXPECT_EQ(filterExpression(g),
              u8(" tow_nazwa2 = 'b' and tow_symbol = 'S*' and tow_kod_prod = 'K-1'"));
    EXPECT_TRUE(filterExpression(store::FilterState{}).isEmpty());
}

TEST(FilterExpression, QuoteInValueIsDoubled) {
    store::FilterState f;
    f.name1 = u8("O'Brien");
    f.name1Op = FilterStartsWith;
    f.symbol = u8("x' or tow_nr>0 or 'a");
    f.symbolOp = FilterEquals;
    EXPECT_EQ(filterExpression(f),
              u8(" tow_nazwa = 'O''Brien*' and tow_symbol = 'x'' or tow_nr>0 or ''a'"));
}

TEST(QueryLines, WorkedExample) {
    store::QueryState q;
    q.groupText = u8("ŚRUBY");
    q.groupOp = ItemEquals;
    q.queryGroupNr = 12;
    q.name1 = u8("ŚRUBA");
    q.name1Op = ItemContains;
    q.attributeFlag = true;
    q.attributeNr = 7;
    q.attributeType = u8("N");
    q.valueOp = 3; // ">="
    q.value1 = u8("10,5");
    EXPECT_EQ(built(q), u8("SELECT DISTINCT Towar.*|FROM Towar , Grupa , Cecha , Opis|WHERE|"
                           "Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr|and|Towar.Tow_Nr=Opis.Opis_Tow_Nr|"
                           "and|Opis.Opis_Cecha_Nr=Cecha.Cecha_Nr|and|Grupa.Grupa_Nr=12|and|"
                           "Upper(Towar.Tow_Nazwa) LIKE \"%ŚRUBA%\"|and|"
                           "(Opis.Opis_Cecha_Nr=7 and |CAST(Opis.Opis_Opis AS NUMERIC)>=10.5|)|"
                           "ORDER BY Towar.Tow_Nazwa"));
}

TEST(QueryLines, EdgeCases) {
    store::QueryState price;
    price.priceText = u8("100");
    price.priceOp = 1;
    price.name1 = u8("ŚRUBA"); // no operator: nothing, no "and"
    EXPECT_EQ(built(price), u8("SELECT DISTINCT Towar.*|FROM Towar |WHERE|Towar.Tow_SRP>100|"
                               "ORDER BY Towar.Tow_Nazwa"));
    EXPECT_EQ(built({}), u8("SELECT DISTINCT Towar.*|FROM Towar |WHERE|ORDER BY Towar.Tow_Nazwa"));

    store::QueryState group; // picked, then its text edited: still by number
    group.groupText = u8("ZMIENIONY");
    group.groupOp = ItemEquals;
    group.queryGroupNr = 5;
    EXPECT_EQ(built(group), u8("SELECT DISTINCT Towar.*|FROM Towar , Grupa|WHERE|"
                               "Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr|and|Grupa.Grupa_Nr=5|"
                               "ORDER BY Towar.Tow_Nazwa"));
    group.groupOp = ItemNothing; // the group list cancelled: the join stays, no condition
    EXPECT_EQ(built(group), u8("SELECT DISTINCT Towar.*|FROM Towar , Grupa|WHERE|"
                               "Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr|ORDER BY Towar.Tow_Nazwa"));
    group.groupText = u8("łoż");
    group.groupOp = ItemStartsWith;
    EXPECT_TRUE(built(group).contains(u8("|Upper(Grupa.Grupa_Nazwa) LIKE \"ŁOŻ%\"|")));

    store::QueryState producer;
    producer.producer = u8("Polmet");
    producer.producerOp = ItemEquals;
    producer.queryCompanyNr = 9;
    producer.symbol = u8("a");
    producer.symbolOp = ItemEquals;
    EXPECT_EQ(built(producer), u8("SELECT DISTINCT Towar.*|FROM Towar  , Firmy |WHERE|"
                                  "Towar.Tow_Nr_Producent=Firmy.Firma_Nr|and|"
                                  "Upper(Towar.Tow_Symbol)=\"A\"|and|"
                                  "Upper(Firmy.Firma_Skrot)=\"POLMET\"|ORDER BY Towar.Tow_Nazwa"));

    store::QueryState all; // flags set by an earlier build stay
    all.groupJoin = all.companyJoin = all.attributeFlag = true;
    all.attributeType = u8("A");
    EXPECT_TRUE(built(all).startsWith(
        u8("SELECT DISTINCT Towar.*|FROM Towar , Grupa , Cecha , Opis , Firmy |WHERE|")));
}

TEST(QueryLines, AttributeValuesByType) {
    auto line = [](const char* type, int op, const char* v1, const char* v2 = "") {
        store::QueryState q;
        q.attributeFlag = true;
        q.attributeNr = 3;
        q.attributeType = QLatin1String(type);
        q.valueOp = op;
        q.value1 = u8(v1);
        q.value2 = u8(v2);
        const QString all = built(q);
        const QString block = all.section(u8("(Opis.Opis_Cecha_Nr=3 and |"), 1);
        return block.section(u8("|)|ORDER BY"), 0, 0);
    };
    EXPECT_EQ(line("N", 0, "1,25"), u8("CAST(Opis.Opis_Opis AS NUMERIC)=1.25"));
    EXPECT_EQ(line("N", 2, "-7"), u8("CAST(Opis.Opis_Opis AS NUMERIC)<-7"));
    EXPECT_EQ(line("A", 0, "śruba"), u8("Upper(Opis.Opis_Opis)=\"ŚRUBA\""));
    EXPECT_EQ(line("S", 1, "ab"), u8("Upper(Opis.Opis_Opis) LIKE \"%AB%\""));
    EXPECT_EQ(line("A", 2, "żó"), u8("Upper(Opis.Opis_Opis) LIKE \"ŻÓ%\""));
    EXPECT_EQ(line("L", 0, "T"), u8("Opis.Opis_Opis=\"T\""));
    EXPECT_EQ(line("D", 0, "1999-12-31"), u8("CAST(Opis.Opis_Opis AS DATE)=\"1999.12.31\""));
    EXPECT_EQ(line("D", 5, "1999-01-01", "1999-12-31"),
              u8("CAST(Opis.Opis_Opis AS DATE) BETWEEN \"1999.01.01\" and \"1999.12.31\""));
    // No operator, or "nic": the block holds only its opening line and the bracket.
    EXPECT_EQ(line("A", -1, "x"), u8(")|ORDER BY Towar.Tow_Nazwa"));
    EXPECT_EQ(line("N", 5, "x"), u8(")|ORDER BY Towar.Tow_Nazwa"));
}

TEST(QueryLines, NumbersAreCheckedAndQuotesDoubled) {
    for (const char* bad : {"abc", "1 or 1=1", "10,", ",5", "1,2,3", "1e5", ""}) {
        store::QueryState q;
        q.priceText = u8(bad);
        q.priceOp = 0;
        EXPECT_EQ(built(q), u8(*bad ? "<refused>"
                                    : "SELECT DISTINCT Towar.*|FROM Towar |WHERE|"
                                      "ORDER BY Towar.Tow_Nazwa"))
            << bad;
        store::QueryState a;
        a.attributeFlag = true;
        a.attributeType = u8("N");
        a.valueOp = 0;
        a.value1 = u8(bad);
        EXPECT_EQ(built(a), u8("<refused>")) << bad;
    }
    store::QueryState q;
    q.priceText = u8(" 12,5 ");
    q.priceOp = 4;
    q.name1 = u8("x\" or 1=1 or \"");
    q.name1Op = ItemContains;
    EXPECT_EQ(built(q).section(u'|', 3, 5),
              u8("Upper(Towar.Tow_Nazwa) LIKE \"%X\"\" OR 1=1 OR \"\"%\"|and|Towar.Tow_SRP<=12.5"));
    q.priceText = u8("abc");
    q.priceOp = kPriceNothing; // not looked at
    EXPECT_NE(built(q), u8("<refused>"));
}
