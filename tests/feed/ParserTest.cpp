#include "feed/Parser.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

namespace {

using Token = std::pair<EntityKind, std::wstring>;

std::vector<Token> tokenize(const wchar_t* text, bool markupMode = false, bool separators = false) {
    Parser parser;
    parser.setText(text, markupMode);
    std::vector<Token> tokens;
    ParsedEntity entity;
    while (parser.getNextEntity(entity, separators)) {
        tokens.emplace_back(entity.kind, parser.entityText(entity));
    }
    return tokens;
}

std::vector<ParsedEntity> entities(const wchar_t* text) {
    Parser parser;
    parser.setText(text, false);
    std::vector<ParsedEntity> result;
    ParsedEntity entity;
    while (parser.getNextEntity(entity, false)) {
        result.push_back(entity);
    }
    return result;
}

const EntityKind Comment = EntityKind::Comment;
const EntityKind Operator = EntityKind::Operator;
const EntityKind KeywordOperator = EntityKind::KeywordOperator;
const EntityKind UnaryKeyword = EntityKind::UnaryKeyword;
const EntityKind Delimiter = EntityKind::Delimiter;
const EntityKind String = EntityKind::String;
const EntityKind Word = EntityKind::Word;
const EntityKind RegExp = EntityKind::RegExp;
const EntityKind Separators = EntityKind::Separators;

TEST(Parser, StringsKeepTheirQuotesAndEscapedQuotes) {
    EXPECT_EQ((std::vector<Token>{{String, L"\"a\\\"b\""}, {Word, L"c"}}), tokenize(L"\"a\\\"b\" c"));
    EXPECT_EQ((std::vector<Token>{{String, L"'it\\'s'"}}), tokenize(L"'it\\'s'"));
    // An escaped backslash does not escape the closing quote.
    EXPECT_EQ((std::vector<Token>{{String, L"\"a\\\\\""}, {Word, L"x"}}), tokenize(L"\"a\\\\\"x"));
    // The other quote character is plain text inside a string.
    EXPECT_EQ((std::vector<Token>{{String, L"\"it's\""}}), tokenize(L"\"it's\""));
}

TEST(Parser, OperatorsAreTheLongestAtThePosition) {
    EXPECT_EQ((std::vector<Token>{{Word, L"x"}, {Operator, L">>>="}, {Word, L"2"}}), tokenize(L"x>>>=2"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Operator, L"!=="}, {Word, L"b"}}), tokenize(L"a!==b"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Operator, L"<<="}, {Operator, L"-"}, {Word, L"1"}}),
              tokenize(L"a<<=-1"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Operator, L"||"}, {Operator, L"|="}}), tokenize(L"a|||="));
    // Near the end of the text only what is there is compared.
    EXPECT_EQ((std::vector<Token>{{Word, L"x"}, {Operator, L">>>"}}), tokenize(L"x>>>"));
    EXPECT_EQ((std::vector<Token>{{Word, L"x"}, {Operator, L"="}}), tokenize(L"x="));
}

TEST(Parser, KeywordsAreReclassifiedInScriptModeOnly) {
    EXPECT_EQ((std::vector<Token>{{KeywordOperator, L"instanceof"},
                                  {UnaryKeyword, L"typeof"},
                                  {Word, L"function"},
                                  {KeywordOperator, L"in"},
                                  {UnaryKeyword, L"new"},
                                  {UnaryKeyword, L"delete"},
                                  {UnaryKeyword, L"void"},
                                  {Word, L"inside"}}),
              tokenize(L"instanceof typeof function in new delete void inside"));
    EXPECT_EQ((std::vector<Token>{{Word, L"typeof"}, {Word, L"in"}}), tokenize(L"typeof in", true));
}

TEST(Parser, DelimitersAreSingleCharactersAndTheColonDependsOnTheMode) {
    EXPECT_EQ((std::vector<Token>{{Delimiter, L"("},
                                  {Delimiter, L")"},
                                  {Delimiter, L"{"},
                                  {Delimiter, L"}"},
                                  {Delimiter, L"["},
                                  {Delimiter, L"]"},
                                  {Delimiter, L";"},
                                  {Delimiter, L","},
                                  {Delimiter, L"."},
                                  {Delimiter, L"@"},
                                  {Delimiter, L"#"}}),
              tokenize(L"(){}[];,.@#"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Operator, L":"}, {Word, L"b"}}), tokenize(L"a:b"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Delimiter, L":"}, {Word, L"b"}}), tokenize(L"a:b", true));
}

TEST(Parser, NumbersSplitAtSignsAndPoints) {
    EXPECT_EQ((std::vector<Token>{{Operator, L"-"}, {Word, L"5"}}), tokenize(L"-5"));
    EXPECT_EQ(
        (std::vector<Token>{{Word, L"1"}, {Delimiter, L"."}, {Word, L"5e"}, {Operator, L"+"}, {Word, L"3"}}),
        tokenize(L"1.5e+3"));
}

TEST(Parser, CommentsOfEveryForm) {
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Comment, L"/* x */"}, {Word, L"b"}}),
              tokenize(L"a/* x */b"));
    EXPECT_EQ((std::vector<Token>{{Comment, L"/*@cc_on @*/"}}), tokenize(L"/*@cc_on @*/"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Comment, L"// x"}, {Word, L"b"}}), tokenize(L"a// x\nb"));
    EXPECT_EQ((std::vector<Token>{{Comment, L"//@set"}, {Word, L"b"}}), tokenize(L"//@set\r\nb"));
    // "<!--" opens a comment only before the first token of script text, and always in markup.
    EXPECT_EQ((std::vector<Token>{{Comment, L"<!-- x -->"}, {Word, L"a"}}), tokenize(L"<!-- x -->a"));
    EXPECT_EQ((std::vector<Token>{
                  {Word, L"a"}, {Operator, L"<"}, {Operator, L"!"}, {Operator, L"--"}, {Word, L"b"}}),
              tokenize(L"a<!--b"));
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Comment, L"<!--b-->"}}), tokenize(L"a<!--b-->", true));
}

TEST(Parser, RegularExpressionsWhereAnExpressionStarts) {
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Operator, L"="}, {RegExp, L"/b\\/c/gi"}, {Delimiter, L";"}}),
              tokenize(L"a=/b\\/c/gi;"));
    EXPECT_EQ((std::vector<Token>{{Word, L"return"}, {RegExp, L"/x/"}}), tokenize(L"return /x/"));
    // After a name, a number or a closing bracket the slash divides.
    EXPECT_EQ(
        (std::vector<Token>{{Word, L"a"}, {Operator, L"/"}, {Word, L"b"}, {Operator, L"/"}, {Word, L"c"}}),
        tokenize(L"a / b / c"));
    EXPECT_EQ((std::vector<Token>{{Delimiter, L")"}, {Operator, L"/="}, {Word, L"2"}}), tokenize(L")/=2"));
}

TEST(Parser, ASlashWhoseExpressionMeetsALineBreakIsAnOperator) {
    EXPECT_EQ((std::vector<Token>{{Delimiter, L"("},
                                  {Operator, L"/"},
                                  {Word, L"a"},
                                  {Word, L"b"},
                                  {Operator, L"/"},
                                  {Delimiter, L")"}}),
              tokenize(L"(/a\nb/)"));
    EXPECT_EQ((std::vector<Token>{{Operator, L"="}, {Operator, L"/="}, {Word, L"x"}}), tokenize(L"=/=x\r"));
}

TEST(Parser, ConstructsCutByTheEndOfTheTextEndThere) {
    const struct {
        const wchar_t* text;
        std::vector<Token> tokens;
    } cases[] = {
        {L"a \"bc", {{Word, L"a"}, {String, L"\"bc"}}},
        {L"a \"", {{Word, L"a"}, {String, L"\""}}},
        {L"'b\\", {{String, L"'b\\"}}},
        {L"\"b\\\"", {{String, L"\"b\\\""}}},
        {L"x /* c", {{Word, L"x"}, {Comment, L"/* c"}}},
        {L"x /*", {{Word, L"x"}, {Comment, L"/*"}}},
        {L"x /*/", {{Word, L"x"}, {Comment, L"/*/"}}},
        {L"x /* *", {{Word, L"x"}, {Comment, L"/* *"}}},
        {L"<!-- x --", {{Comment, L"<!-- x --"}}},
        {L"<!--", {{Comment, L"<!--"}}},
        {L"a=/x\\", {{Word, L"a"}, {Operator, L"="}, {RegExp, L"/x\\"}}},
        {L"a=/", {{Word, L"a"}, {Operator, L"="}, {RegExp, L"/"}}},
        {L"a/", {{Word, L"a"}, {Operator, L"/"}}},
        {L"&quot;x", {{String, L"&quot;x"}}},
        {L"x&#3", {{Word, L"x"}, {Operator, L"&"}, {Delimiter, L"#"}, {Word, L"3"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.tokens, tokenize(c.text)) << c.text;
        const std::vector<ParsedEntity> all = entities(c.text);
        ASSERT_FALSE(all.empty());
        const ParsedEntity& last = all.back();
        EXPECT_EQ(static_cast<int32_t>(wcslen(c.text)), last.end) << c.text;
    }
    const std::vector<ParsedEntity> cut = entities(L"\"abc");
    ASSERT_EQ(1u, cut.size());
    EXPECT_TRUE(cut[0].flags[UnterminatedFlag]);
    EXPECT_FALSE(entities(L"\"abc\"")[0].flags[UnterminatedFlag]);
}

TEST(Parser, EntityRecognitionDecidesWhetherQuoteEntitiesMakeStrings) {
    EXPECT_EQ((std::vector<Token>{{String, L"&quot;a'b&quot;"}, {Word, L"c"}}),
              tokenize(L"&quot;a'b&quot;c"));
    EXPECT_EQ((std::vector<Token>{{String, L"&#39;a\"b'"}}), tokenize(L"&#39;a\"b'"));

    Parser parser;
    parser.setText(L"&quot;a", false);
    parser.setEntityRecognition(false);
    std::vector<Token> tokens;
    ParsedEntity entity;
    while (parser.getNextEntity(entity, false)) {
        tokens.emplace_back(entity.kind, parser.entityText(entity));
    }
    EXPECT_EQ((std::vector<Token>{{Operator, L"&"}, {Word, L"quot"}, {Delimiter, L";"}, {Word, L"a"}}),
              tokens);
}

TEST(Parser, SeparatorsAreSkippedOrReturnedAsOneRun) {
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Word, L"b"}}), tokenize(L" a \t\v\f\u00A0\r\n b "));
    EXPECT_EQ((std::vector<Token>{{Separators, L" "},
                                  {Word, L"a"},
                                  {Separators, L" \t\r\n "},
                                  {Word, L"b"},
                                  {Separators, L"\u00A0"}}),
              tokenize(L" a \t\r\n b\u00A0", false, true));
    EXPECT_TRUE(tokenize(L" \r\n\t").empty());
    EXPECT_TRUE(tokenize(L"").empty());
}

TEST(Parser, LinesAndColumnsCountFromOne) {
    const std::vector<ParsedEntity> all = entities(L"a\r\nbb\n  c\rd \"x\ny\" e");
    ASSERT_EQ(6u, all.size());
    const int32_t expected[][2] = {{1, 1}, {2, 1}, {3, 3}, {4, 1}, {4, 3}, {5, 4}};
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(expected[i][0], all[i].line) << i;
        EXPECT_EQ(expected[i][1], all[i].column) << i;
    }
    EXPECT_TRUE(all[1].flags[LineBreakBeforeFlag]);
    EXPECT_FALSE(all[5].flags[LineBreakBeforeFlag]);
}

TEST(Parser, TokensCoverTheWholeTextWithoutGapsOrEmptyTokens) {
    const std::wstring text =
        L"{\"a\":\"b\\\"c\",'d':/e\\/f/gim,g:1.5e-3,h:[null,true],/*x*/i://y\n"
        L"j<!--k-->l>>>=m&&n||o!==p&quot;q&quot;\u00A0r\u00E9\U0001F305s\\t\"u\\";
    // Every prefix of the text ends somewhere awkward: inside a string, an escape, a comment ...
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        const std::wstring prefix = text.substr(0, cut);
        Parser parser;
        parser.setText(prefix.c_str(), false);
        ParsedEntity entity;
        std::wstring joined;
        int32_t expectedStart = 0;
        while (parser.getNextEntity(entity, true)) {
            ASSERT_EQ(expectedStart, entity.start) << cut;
            ASSERT_GE(entity.length, 1) << cut;
            ASSERT_EQ(entity.start + entity.length, entity.end) << cut;
            joined += parser.entityText(entity);
            expectedStart = entity.end;
        }
        EXPECT_EQ(prefix, joined) << cut;
        EXPECT_FALSE(parser.getNextEntity(entity, true));
    }
}

TEST(Parser, TheStopFlagEndsReadingUntilTheNextText) {
    Parser parser;
    parser.setText(L"a b c", false);
    ParsedEntity entity;
    ASSERT_TRUE(parser.getNextEntity(entity, false));
    std::thread other([&parser] { parser.setStopFlag(true); });
    other.join();
    EXPECT_TRUE(parser.isStopped());
    EXPECT_FALSE(parser.getNextEntity(entity, false));
    parser.setText(L"d", false);
    EXPECT_FALSE(parser.isStopped());
    EXPECT_TRUE(parser.getNextEntity(entity, false));
}

TEST(Parser, TablesMayBeBuiltAgainAndOutliveTheirFreeing) {
    initScriptTokenTables();
    freeScriptTokenTables();
    initScriptTokenTables();
    freeScriptTokenTables();
    EXPECT_EQ((std::vector<Token>{{Word, L"a"}, {Operator, L"+"}, {Word, L"b"}}), tokenize(L"a+b"));
}

TEST(Parser, ANullTextReadsAsEmpty) {
    Parser parser;
    parser.setText(nullptr, false);
    ParsedEntity entity;
    EXPECT_FALSE(parser.getNextEntity(entity, true));
}

}  // namespace
