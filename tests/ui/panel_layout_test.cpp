// The main panel on real screens: a 1366x768 laptop, an 800x600 screen, a window dragged
// smaller still, and 1920x1080, each with the menu bar the program puts on top. Every size is
// also rendered to tests/layout/ in the build tree for a person to look at.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>

#include "tests/support/shown_rect.h"
#include "tests/ui/ui_test_support.h"

namespace {

constexpr int kTitleBar = 30;
const QSize kLaptopWindow(1366, 690);  // a 1366x768 screen less its task bar

const int kParameterFields[] = {
    PANEL_POWERTOP, PANEL_POWERBOT, PANEL_POWERDIG, PANEL_REFTOP, PANEL_REFBOT,  PANEL_TOLTOP,
    PANEL_TOLBOT,   PANEL_TRIGTOP,  PANEL_TRIGBOT,  PANEL_HWMODE, PANEL_MAXMODE, PANEL_HYSTTOP,
    PANEL_HYSTBOT,  PANEL_EVALMODE, PANEL_POLARITY, PANEL_HOLD,   PANEL_DIGCNT,  PANEL_DIGMODE};
const int kReadouts[] = {PANEL_TOP1,    PANEL_TOP2,    PANEL_BOT1,    PANEL_BOT2,  PANEL_MAXTOP1,
                         PANEL_MAXTOP2, PANEL_MAXBOT1, PANEL_MAXBOT2, PANEL_COUNT, PANEL_INDEXA};

// The controls an operator sees: visible widgets that hold no laid-out children (a spin box
// with its inner line edit, a chart with its viewport, count as one); and the containers
// around them (group boxes, frames, the scroll area).
void CollectControls(QWidget* parent, std::vector<QWidget*>& controls,
                     std::vector<QWidget*>& containers) {
    for (QWidget* w : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || !w->isVisible()) continue;
        if (auto* scroll = qobject_cast<QScrollArea*>(w)) {
            containers.push_back(w);
            CollectControls(scroll->widget(), controls, containers);
        } else if (w->layout()) {
            containers.push_back(w);
            CollectControls(w, controls, containers);
        } else {
            controls.push_back(w);
        }
    }
}

QString Describe(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

class PanelLayout : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        panel = PanelWidget(panel_);
        // The title banner, as the program makes it at start-up.
        const int banner = NewCtrl(panel_, CTRL_TEXT_MSG, "", 19, 30);
        SetCtrlAttribute(panel_, banner, ATTR_TEXT_FONT, "NIApp");
        SetCtrlAttribute(panel_, banner, ATTR_TEXT_POINT_SIZE, 18);
        SetCtrlVal(panel_, banner, "KERVANO-Scope-trg V1.31 ");
        // The menu bar, added the way the program's start-up adds it.
        auto* menus = new QMenuBar(panel);
        for (const char* title : {"&File", "&Controller", "&View", "&Help"})
            menus->addMenu(QString::fromLatin1(title));
        panel->layout()->setMenuBar(menus);
        // The widest values a field or read-out ever shows.
        for (int id : kParameterFields) SetCtrlVal(panel_, id, 65535);
        for (int id : kReadouts) SetCtrlVal(panel_, id, 65535);
        scroll = panel->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        QApplication::processEvents();
        designed = panel->size();
    }

    void showAt(QSize size) {
        panel->resize(size);
        QApplication::processEvents();
        const QString dir = QDir(QCoreApplication::applicationDirPath()).filePath("layout");
        QDir().mkpath(dir);
        const QString file =
            QStringLiteral("%1/panel_%2x%3.png").arg(dir).arg(panel->width()).arg(panel->height());
        EXPECT_TRUE(panel->grab().save(file)) << file.toStdString();
    }

    // Nothing overlaps, nothing is squeezed below what it needs.
    void expectReadable() {
        std::vector<QWidget*> controls, containers;
        CollectControls(panel, controls, containers);
        ASSERT_GE(controls.size(), 60u);  // every field, label, button, read-out and chart
        std::vector<QRect> shown;
        for (QWidget* w : controls) shown.push_back(ShownRect(w, panel));
        for (size_t i = 0; i < controls.size(); ++i) {
            for (size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(shown[i].intersects(shown[j]))
                    << Describe(controls[i]).toStdString() << " overlaps "
                    << Describe(controls[j]).toStdString() << " at " << panel->width() << "x"
                    << panel->height();
            }
            // Nor does a control reach into a group it does not belong to.
            for (QWidget* c : containers) {
                if (c->isAncestorOf(controls[i])) continue;
                EXPECT_FALSE(shown[i].intersects(ShownRect(c, panel)))
                    << Describe(controls[i]).toStdString() << " reaches into "
                    << Describe(c).toStdString() << " at " << panel->width() << "x"
                    << panel->height();
            }
            // Charts have no natural size; they must keep their minimum.
            const bool chart = qobject_cast<QAbstractScrollArea*>(controls[i]) != nullptr;
            const QSize needed =
                chart ? controls[i]->minimumSizeHint().expandedTo(controls[i]->minimumSize())
                      : controls[i]->sizeHint();
            EXPECT_GE(controls[i]->width(), needed.width()) << Describe(controls[i]).toStdString();
            EXPECT_GE(controls[i]->height(), needed.height())
                << Describe(controls[i]).toStdString();
        }
        for (int id : kParameterFields) {
            QLineEdit* edit = ctrl<QSpinBox>(id)->findChild<QLineEdit*>();
            const QMargins text = edit->textMargins();
            // A line edit keeps 2 px of its own on either side of the text.
            const int room = edit->contentsRect().width() - text.left() - text.right() - 4;
            EXPECT_GE(room, edit->fontMetrics().horizontalAdvance(QStringLiteral("65535")))
                << Describe(ctrl<QSpinBox>(id)).toStdString();
        }
    }

    bool scrolls() const {
        return scroll->verticalScrollBar()->isVisible() ||
               scroll->horizontalScrollBar()->isVisible();
    }

    QWidget* panel = nullptr;
    QScrollArea* scroll = nullptr;
    QSize designed;
};

}  // namespace

TEST_F(PanelLayout, DesignedSizeFitsALaptopScreenWithTitleBar) {
    EXPECT_LE(designed.width(), kLaptopWindow.width());
    EXPECT_LE(designed.height() + kTitleBar, kLaptopWindow.height());
    showAt(designed);
    EXPECT_FALSE(scrolls());
    expectReadable();
}

TEST_F(PanelLayout, LaptopScreenShowsEverythingWithoutScrolling) {
    showAt({1366, 660});
    EXPECT_FALSE(scrolls());
    expectReadable();
}

TEST_F(PanelLayout, SmallScreensScrollThePanelInsteadOfSqueezingIt) {
    for (QSize size : {QSize(800, 600), panel->minimumSize()}) {
        showAt(size);
        EXPECT_EQ(panel->size(), size.expandedTo(panel->minimumSize()));
        // The controls keep the room they need; the area scrolls when that is too much.
        QWidget* client = scroll->widget();
        EXPECT_GE(client->width(), client->minimumSizeHint().width());
        EXPECT_GE(client->height(), client->minimumSizeHint().height());
        expectReadable();
    }
    EXPECT_TRUE(scrolls());
    // The status line stays whole in view below the scrolled controls.
    const QWidget* status = CtrlWidget(panel_, PANEL_STATUS);
    EXPECT_EQ(ShownRect(status, panel), QRect(status->mapTo(panel, QPoint(0, 0)), status->size()));
}

TEST_F(PanelLayout, ChartsTakeTheRoomOfALargeScreen) {
    showAt({1366, 660});
    const QSize top = CtrlWidget(panel_, PANEL_STRIPTOP)->size();
    const QSize bot = CtrlWidget(panel_, PANEL_STRIPBOT)->size();
    showAt({1920, 1080});
    EXPECT_FALSE(scrolls());
    expectReadable();
    const QSize topLarge = CtrlWidget(panel_, PANEL_STRIPTOP)->size();
    const QSize botLarge = CtrlWidget(panel_, PANEL_STRIPBOT)->size();
    // Most of the extra width and height goes to the two charts.
    EXPECT_GE(topLarge.width() - top.width(), (1920 - 1366) * 8 / 10);
    EXPECT_GE(botLarge.width() - bot.width(), (1920 - 1366) * 8 / 10);
    EXPECT_GE(topLarge.height() + botLarge.height() - top.height() - bot.height(),
              (1080 - 660) * 8 / 10);
}
