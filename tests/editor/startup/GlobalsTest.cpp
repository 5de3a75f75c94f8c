#include "Globals.h"
#include "ScriptedModal.h"

#include <gtest/gtest.h>

TEST(ReportError, ShowsTheDescriptionOnlyUnderErrorIn)
{
    ScriptedModal modal;
    modal.AnswerMessage(MsgAnswer::OK);
    modal.AnswerMessage(MsgAnswer::OK);
    ReportError(RunTimeError(6, "x", "DeCrypt"), "Main", modal);
    ReportError(RunTimeError(53, "", "Other"), "", modal);
    ASSERT_EQ(modal.asked().size(), 2u);
    EXPECT_EQ(modal.asked()[0].text, "x");
    EXPECT_EQ(modal.asked()[0].title, "Error in: Main");
    EXPECT_EQ(modal.asked()[0].style, MsgStyle::Information | MsgStyle::OKOnly);
    EXPECT_EQ(modal.asked()[1].text, "");
    EXPECT_EQ(modal.asked()[1].title, "Error in: ");
}

TEST(GlobalsTokenize, GivesTheTokensAsQtText)
{
    ScriptedModal modal;
    const std::optional<QStringList> tokens = Tokenize("\"my fil\u00e9.cfg\" x;y", modal);
    ASSERT_TRUE(tokens);
    EXPECT_EQ(*tokens, (QStringList{"my fil\u00e9.cfg", "x", ";"}));
    EXPECT_TRUE(modal.asked().empty());
}
