#include "tests/support/TestBank.h"
#include "widgets/DataGrid.h"
#include "widgets/FlatButton.h"
#include "widgets/FlatSpinEdit.h"

#include "db/ResultModel.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <limits>

using namespace tolvane;
using namespace tolvane::widgets;

TEST(FlatSpinEdit, ReadsWholeNumbersAndZeroForAnythingElse) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"12", 12},       {" -7 ", -7}, {"+3", 3},  {"", 0},
                 {"abc", 0},       {"1.5", 0},   {"12a", 0}, {"2147483647", 2147483647},
                 {"2147483648", 0}};
    TFlatSpinEditInteger spin;
    for (const auto& c : cases) {
        spin.setText(QString::fromLatin1(c.text));
        EXPECT_EQ(spin.value(), c.value) << c.text;
        EXPECT_EQ(spin.text(), QString::fromLatin1(c.text)); // the text is kept as typed
    }
}

TEST(FlatSpinEdit, StepsByOneFromTheValueReadWithoutBounds) {
    TFlatSpinEditInteger spin;
    EXPECT_EQ(spin.value(), 0);
    QTest::keyClick(&spin, Qt::Key_Down);
    QTest::keyClick(&spin, Qt::Key_Down);
    EXPECT_EQ(spin.value(), -2);
    spin.setText(QStringLiteral("abc"));
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.text(), QStringLiteral("1"));
    spin.setValue(std::numeric_limits<int>::max());
    spin.stepBy(1); // stays at the limit instead of wrapping round
    EXPECT_EQ(spin.value(), std::numeric_limits<int>::max());

    spin.setValue(5);
    spin.setReadOnly(true);
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 5);
}

namespace {
QImage paint(QWidget& w, qreal scale) {
    QImage image(w.size() * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::magenta);
    w.render(&image);
    return image;
}
} // namespace

TEST(FlatButton, DrawsTheThreeFrameColoursAtAnyScale) {
    TFlatButton button(QStringLiteral("Options"));
    button.resize(120, 30);
    button.setFrameColors(Qt::blue, Qt::green, Qt::red);
    EXPECT_EQ(button.ColorBorder(), QColor(Qt::blue));
    EXPECT_EQ(button.ColorHighLight(), QColor(Qt::green));
    EXPECT_EQ(button.ColorShadow(), QColor(Qt::red));
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage img = paint(button, scale);
        const int w = img.width(), h = img.height();
        for (int i = 0; i < scale; ++i) { // each line is one logical pixel wide
            EXPECT_EQ(img.pixelColor(i, h / 2), QColor(Qt::blue));
            EXPECT_EQ(img.pixelColor(w - 1 - i, h / 2), QColor(Qt::blue));
            EXPECT_EQ(img.pixelColor(w / 2, scale + i), QColor(Qt::green));
            EXPECT_EQ(img.pixelColor(scale + i, h / 2), QColor(Qt::green));
            EXPECT_EQ(img.pixelColor(w / 2, h - 1 - scale - i), QColor(Qt::red));
            EXPECT_EQ(img.pixelColor(w - 1 - scale - i, h / 2), QColor(Qt::red));
        }
    }
}

TEST(FlatButton, EnterInAnEditOfTheWindowDoesNotPressIt) {
    QDialog window;
    auto* spin = new TFlatSpinEditInteger(&window);
    auto* button = new TFlatButton(QStringLiteral("Save Test"), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(spin);
    layout->addWidget(button);
    window.show();
    QSignalSpy clicked(button, &TFlatButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(window.isVisible());
}

TEST(FlatButton, CaptionColourAndHoverSignals) {
    TFlatButton button(QStringLiteral("MMMMMMMM"));
    button.resize(120, 30);
    button.setCaptionColor(QColor(128, 0, 0));
    EXPECT_EQ(button.captionColor(), QColor(128, 0, 0));
    const QImage img = paint(button, 1);
    bool maroonSeen = false;
    for (int x = 0; x < img.width() && !maroonSeen; ++x)
        maroonSeen = img.pixelColor(x, img.height() / 2) == QColor(128, 0, 0);
    EXPECT_TRUE(maroonSeen);

    QSignalSpy entered(&button, &TFlatButton::mouseEntered);
    QSignalSpy left(&button, &TFlatButton::mouseLeft);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(left.count(), 1);
}

class DataGridTest : public ::testing::Test {
protected:
    test::TestBank bank;
    db::Query query{&bank.connection()};
    TDBGrid grid;

    void SetUp() override {
        bank.exec(QStringLiteral("DELETE FROM ZhangJie"));
        bank.exec(QStringLiteral("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'One'), "
                                 "('2', NULL), ('3', 'first line\nsecond line')"));
        query.setSql(QStringLiteral("SELECT ZJ AS Code, ZJName AS Name FROM ZhangJie"));
        query.open();
        grid.setQuery(&query);
        grid.resize(300, 200);
    }
};

TEST_F(DataGridTest, SelectionAndCurrentRowFollowEachOther) {
    EXPECT_EQ(grid.selectedRow(), 0); // an opened result starts on its first row
    EXPECT_EQ(grid.selectionModel()->selectedRows().value(0).row(), 0);
    EXPECT_EQ(grid.selectedText(1), QStringLiteral("One"));

    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    int mouseUps = 0;
    QObject::connect(&grid, &TDBGrid::mouseUp, [&mouseUps](QMouseEvent*) { ++mouseUps; });
    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(mouseUps, 1);
    EXPECT_EQ(query.currentRow(), 2);
    EXPECT_EQ(grid.selectedText(1), QStringLiteral("first line\nsecond line"));

    QTest::keyClick(grid.viewport(), Qt::Key_Up); // the keyboard moves the current row too
    EXPECT_EQ(query.currentRow(), 1);
    EXPECT_TRUE(grid.selectedIsNull(1));
    EXPECT_EQ(grid.selectedText(1), QString(""));

    query.setCurrentRow(0); // and the query moves the grid
    EXPECT_EQ(grid.selectionModel()->selectedRows().value(0).row(), 0);
    grid.setSelectedRow(2);
    EXPECT_EQ(query.currentRow(), 2);
    EXPECT_TRUE(grid.selectedIsNull(7)); // no such column
}

TEST_F(DataGridTest, TitlesHoldUntilTheQueryIsReopened) {
    grid.setColumnTitle(1, QStringLiteral("Chapter Name"));
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "Chapter Name");
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Code");
    grid.setSelectedRow(2);

    query.setSql(QStringLiteral("SELECT ZJ AS Code, ZJName AS Name FROM ZhangJie WHERE ZJ='9'"));
    query.open();
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.selectedRow(), -1);
    EXPECT_TRUE(grid.selectedIsNull(0));

    query.setSql(QStringLiteral("SELECT * FROM ZhangJie"));
    query.open();
    EXPECT_EQ(grid.model()->columnCount(), 3);
    EXPECT_EQ(grid.selectionModel()->selectedRows().value(0).row(), 0);
}

TEST_F(DataGridTest, ReadOnlyAndLongTextOnOneLine) {
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    const QModelIndex index = grid.model()->index(2, 1);
    EXPECT_EQ(index.data(Qt::ToolTipRole).toString(), QStringLiteral("first line\nsecond line"));
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.rect = grid.visualRect(index);
    const QSize hint = grid.itemDelegate()->sizeHint(option, index);
    EXPECT_LT(hint.height(), 2 * grid.fontMetrics().height()); // not laid out on two lines
}
