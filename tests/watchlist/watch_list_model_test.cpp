#include "watchlist/watch_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "../app/window_fixture.h"

namespace tickora::test {
namespace {

RowCells Named(const std::string& code) {
    RowCells cells;
    cells[ids::kColCode] = code;
    cells[ids::kColName] = "name of " + code;
    return cells;
}

std::string Codes(const WatchListModel& m) {
    std::string codes;
    for (int r = 0; r < m.RowCount(); ++r) codes += m.Cell(r, ids::kColCode);
    return codes;
}

// Every row operation against the model tester, with the signals each must raise and none
// of the others.
TEST(WatchListModel, RowOperationsRaiseTheirSignalsOnly) {
    App();
    WatchListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    const struct {
        const char* what;
        std::function<bool()> op;
        bool done;
        std::string codes;
        int inserted, removed, moved, changed;
    } steps[] = {
        {"append",
         [&] {
             model.InsertAt(0, Named("A"));
             return true;
         },
         true, "A", 1, 0, 0, 0},
        {"insert past the end appends",
         [&] {
             model.InsertAt(9, Named("C"));
             return true;
         },
         true, "AC", 1, 0, 0, 0},
        {"insert in front",
         [&] {
             model.InsertAt(1, Named("B"));
             return true;
         },
         true, "ABC", 1, 0, 0, 0},
        {"insert before all",
         [&] {
             model.InsertAt(-3, Named("D"));
             return true;
         },
         true, "DABC", 1, 0, 0, 0},
        {"move down", [&] { return model.Move(0, 2); }, true, "ABDC", 0, 0, 1, 0},
        {"move up", [&] { return model.Move(3, 1); }, true, "ACBD", 0, 0, 1, 0},
        {"move onto itself", [&] { return model.Move(2, 2); }, false, "ACBD", 0, 0, 0, 0},
        {"move past the end", [&] { return model.Move(1, 4); }, false, "ACBD", 0, 0, 0, 0},
        {"seven cells of a row",
         [&] {
             model.SetCells(1,
                            {{1, "n"}, {3, "t"}, {4, "p"}, {5, "c"}, {6, "r"}, {7, "v"}, {8, "m"}});
             return true;
         },
         true, "ACBD", 0, 0, 0, 1},
        {"the same texts again",
         [&] {
             model.SetCells(1, {{1, "n"}, {8, "m"}});
             return true;
         },
         true, "ACBD", 0, 0, 0, 0},
        {"cells of a missing row",
         [&] {
             model.SetCells(4, {{1, "x"}});
             return true;
         },
         true, "ACBD", 0, 0, 0, 0},
        {"remove", [&] { return model.RemoveAt(0); }, true, "CBD", 0, 1, 0, 0},
        {"remove a missing row", [&] { return model.RemoveAt(3); }, false, "CBD", 0, 0, 0, 0},
        {"clear",
         [&] {
             model.Clear();
             return true;
         },
         true, "", 0, 1, 0, 0},
        {"clear an empty list",
         [&] {
             model.Clear();
             return true;
         },
         true, "", 0, 0, 0, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        for (QSignalSpy* spy : {&inserted, &removed, &moved, &changed}) spy->clear();
        EXPECT_EQ(s.op(), s.done);
        EXPECT_EQ(Codes(model), s.codes);
        EXPECT_EQ(inserted.count(), s.inserted);
        EXPECT_EQ(removed.count(), s.removed);
        EXPECT_EQ(moved.count(), s.moved);
        EXPECT_EQ(changed.count(), s.changed);
    }
    EXPECT_EQ(reset.count(), 0);
}

TEST(WatchListModel, RowsKeepAllNineTextsAsCStringsAndShowTheirColours) {
    App();
    WatchListModel model;
    RowCells cells;
    for (int c = 0; c < ids::kColumnCount; ++c) cells[c] = "c" + std::to_string(c);
    cells[ids::kColChange] = std::string("+12\0junk", 8);
    cells[ids::kColMark] = Sj("△ ");
    model.InsertAt(0, cells);
    model.InsertAt(0, RowCells{});
    ASSERT_TRUE(model.Move(1, 0));
    EXPECT_EQ(model.Cell(0, ids::kColChange), "+12");
    EXPECT_EQ(model.Cell(0, ids::kColVolume), "c7");
    EXPECT_EQ(model.Row(1), RowCells{});
    EXPECT_EQ(model.Row(5), RowCells{});
    EXPECT_EQ(model.Cell(0, 9), "");
    EXPECT_EQ(model.index(0, 8).data().toString(), QString::fromUtf8("△ "));
    EXPECT_EQ(model.index(0, 5).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 20, 20));
    EXPECT_FALSE(model.index(0, 7).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QString::fromUtf8("銘柄"));
}

}  // namespace
}  // namespace tickora::test
