#include "watchlist/watch_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "../app/window_fixture.h"

namespace tickora::test {
namespace {

// The model under the toolkit's own model tester, with the signals each row operation must
// raise and none of the others.
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override { App(); }
    // Codes in row order, and the signals since the last look: inserted, removed, moved, data.
    std::string Look() {
        std::string look;
        for (int r = 0; r < model.RowCount(); ++r) look += model.Cell(r, ids::kColCode);
        look += " ";
        for (QSignalSpy* spy : {&inserted, &removed, &moved, &data}) {
            look += std::to_string(spy->count());
            spy->clear();
        }
        return look;
    }

    WatchListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QSignalSpy inserted{&model, &QAbstractItemModel::rowsInserted};
    QSignalSpy removed{&model, &QAbstractItemModel::rowsRemoved};
    QSignalSpy moved{&model, &QAbstractItemModel::rowsMoved};
    QSignalSpy data{&model, &QAbstractItemModel::dataChanged};
    QSignalSpy reset{&model, &QAbstractItemModel::modelReset};
};

TEST_F(ModelTest, RowOperationsRaiseTheirSignalsOnly) {
    model.InsertAt(0, {"A"});
    model.InsertAt(9, {"C"});  // past the end: appended
    model.InsertAt(1, {"B"});
    model.InsertAt(-3, {"D"});  // before all
    EXPECT_EQ(Look(), "DABC 4000");
    EXPECT_TRUE(model.Move(0, 2));
    EXPECT_EQ(Look(), "ABDC 0010");
    EXPECT_TRUE(model.Move(3, 1));
    EXPECT_EQ(Look(), "ACBD 0010");
    EXPECT_FALSE(model.Move(2, 2));
    EXPECT_FALSE(model.Move(1, 4));
    EXPECT_EQ(Look(), "ACBD 0000");
    // A row's seven fetched cells change with one dataChanged; the same texts again, none.
    const CellWrites seven = {{1, "n"}, {3, "t"}, {4, "p"}, {5, "c"}, {6, "r"}, {7, "v"}, {8, "m"}};
    model.SetCells(1, seven);
    EXPECT_EQ(Look(), "ACBD 0001");
    model.SetCells(1, seven);
    model.SetCells(4, seven);
    EXPECT_EQ(Look(), "ACBD 0000");
    // Only the cells whose text or colour changed repaint: a sign colours the next cell too.
    for (const char* change : {"+1", "-1"}) model.SetCells(1, {{5, change}, {6, "1%"}});
    ASSERT_EQ(data.count(), 2);
    EXPECT_EQ(data.at(1).at(0).toModelIndex().column(), 5);
    EXPECT_EQ(data.at(1).at(1).toModelIndex().column(), 6);
    EXPECT_EQ(Look(), "ACBD 0002");
    EXPECT_TRUE(model.RemoveAt(0));
    EXPECT_EQ(Look(), "CBD 0100");
    model.InsertAt(0, {"A"});
    EXPECT_EQ(Look(), "ACBD 1000");
    EXPECT_TRUE(model.RemoveAt(0));
    EXPECT_FALSE(model.RemoveAt(3));
    EXPECT_EQ(Look(), "CBD 0100");
    model.Clear();
    model.Clear();
    EXPECT_EQ(Look(), " 0100");
    EXPECT_EQ(reset.count(), 0);
}

TEST_F(ModelTest, RowsKeepTheirNineTextsAsCStringsAndShowTheirColours) {
    RowCells cells;
    for (int c = 0; c < ids::kColumnCount; ++c) cells[c] = "c" + std::to_string(c);
    cells[ids::kColChange] = std::string("+12\0junk", 8);
    model.InsertAt(0, cells);
    model.InsertAt(0, RowCells{});
    ASSERT_TRUE(model.Move(1, 0));
    EXPECT_EQ(model.Cell(0, ids::kColChange), "+12");
    EXPECT_EQ(model.Row(5), RowCells{});
    // What the list shows moved with the row.
    EXPECT_EQ(model.index(0, ids::kColVolume).data().toString(), "c7");
    EXPECT_EQ(model.index(0, 5).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 20, 20));
    EXPECT_FALSE(model.index(0, 7).data(Qt::ForegroundRole).isValid());
}

}  // namespace
}  // namespace tickora::test
