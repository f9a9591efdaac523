// The main window's commands that open the relation editors: on the current item, for a user
// with full rights only.
#include "shell/E_Glowny.h"
#include "shell/fixture.h"
#include <QAction>

namespace {

class RelationCommandsTest : public shelltest::ShellTest {};

TEST_F(RelationCommandsTest, TheModifyCommandsOpenTheEditorsForTheCurrentItemWithFullRightsOnly) {
    makeMainFolder({QStringLiteral("Alfa"), QStringLiteral("Beta")});
    auto w = startWindow();
    store::MainState& st = w->state();
    ASSERT_TRUE(st.TFTowar.isOpen() && !st.TFTowar.isEmpty());
    const QString current = st.TFTowar.asString(QStringLiteral("Tow_Nazwa"));
    QStringList seen;
    for (const char* name : {"TEkr_Wchodzi_do", "TEkr_Sklada_sie", "TEkr_Zamienniki"})
        runner.on(QLatin1String(name), [&](QDialog& d) {
            seen << d.objectName() + u':' + st.CurrentItemName;
            EXPECT_EQ(st.CurrentItemNr, st.TFTowar.asInteger(QStringLiteral("Tow_nr")));
        });
    const char* const commands[] = {"Modyfikuj2", "Modyfikuj3", "Modyfikuj4"};
    for (const char* name : commands)
        w->findChild<QAction*>(QLatin1String(name))->trigger();
    EXPECT_EQ(seen, (QStringList{"TEkr_Wchodzi_do:" + current, "TEkr_Sklada_sie:" + current,
                                 "TEkr_Zamienniki:" + current}));
    // A read-only user opens none of them.
    st.RightsLevel = 1;
    for (const char* name : commands)
        w->findChild<QAction*>(QLatin1String(name))->trigger();
    EXPECT_EQ(runner.opened().size(), 3);
}

} // namespace
