// Parameter reads, the firmware info and data blocks on the simulated line.
#include "link/transactions.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <array>

#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class TransactionTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenLine();
    }
    void FirmwareReplyIs(std::vector<uint8_t> bytes) {
        controller.setReplyHook([bytes](int order, const uint16_t*, sim::Reply& reply) {
            if (order == ORDER_FIRMWARE) reply.bytes = bytes;
        });
    }
};

}  // namespace

TEST_F(TransactionTest, ReadFromFileTargetSendsNothing) {
    const unsigned short before = refTOP;
    PushGET(DATFILE, 0);
    EXPECT_TRUE(line.writes().empty());
    EXPECT_EQ(refTOP, before);
}

TEST_F(TransactionTest, ShortReadCarriesShortPacketAndChangesOnlyItsParameters) {
    digcnt = 3;
    digmode = 4;
    hold = 5;
    refTOP = 42;
    controller.model().ram[1][1] = 7;
    controller.model().ram[1][2] = 8;
    controller.model().ram[1][3] = 900;
    PushGET(RAM, 1);

    ASSERT_EQ(controller.requests().size(), 1u);
    const auto& req = controller.requests()[0];
    EXPECT_EQ(req.order, 2);
    EXPECT_EQ(req.payload, (std::vector<uint16_t>{1, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(digcnt, 7);
    EXPECT_EQ(digmode, 8);
    EXPECT_EQ(hold, 900);
    EXPECT_EQ(refTOP, 42);
    EXPECT_EQ(StatusText(), "Parameter-frame received! - Line Ok!");
}

TEST_F(TransactionTest, EepromReadUsesOrder4AndFullLayout) {
    controller.model().eeprom[0][5] = 612;
    PushGET(EEPROM, 0);
    ASSERT_EQ(controller.orders(), (std::vector<int>{4}));
    EXPECT_EQ(refBOT, 612);
}

TEST_F(TransactionTest, ShortReplyToFullRequestIsStillUnpackedAsFull) {
    controller.setReplyHook([](int, const uint16_t*, sim::Reply& reply) {
        reply.bytes = MakeFrame(2, {1, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25});
    });
    PushGET(RAM, 0);
    EXPECT_EQ(powerTOP, 11);
    EXPECT_EQ(polarity, 25);
}

TEST_F(TransactionTest, MissingReplyLeavesParametersAndShowsTheTimeout) {
    controller.model().faults.silent = true;
    refTOP = 123;
    const double start = line.now();
    EXPECT_EQ(PushGET(RAM, 0), 0);
    EXPECT_EQ(refTOP, 123);
    EXPECT_EQ(StatusText(), "Timeout-RS-232...") << "the waiting text does not outlive the wait";
    EXPECT_NEAR(line.now() - start, 1.5, 0.01);
}

TEST_F(TransactionTest, LateButTimelyReplyIsTaken) {
    controller.setReplyHook([](int, const uint16_t*, sim::Reply& reply) { reply.delay = 1.4; });
    controller.model().ram[0][4] = 555;
    PushGET(RAM, 0);
    EXPECT_EQ(refTOP, 555);
}

TEST_F(TransactionTest, ShortWriteHidesWaitingTextButStillWaits) {
    line.setWriteLimit(com, 10);
    statusHistory.clear();
    PushGET(RAM, 0);
    for (const auto& text : TakeStatusHistory()) EXPECT_NE(text, "Waiting for parameter-frame ...");
}

TEST_F(TransactionTest, FirmwareTextIsTheLowBytesOfAWhole64ByteBlockUpToZero) {
    std::vector<uint16_t> terminated(32, 0);
    terminated[0] = 0x0041;
    terminated[1] = 0x0042;
    terminated[3] = 0x0043;  // after the terminator: not part of the text
    std::vector<uint16_t> highByte(32, 0);
    highByte[0] = 0x4100;
    highByte[1] = 0x0042;
    const struct {
        const char* name;
        std::vector<uint16_t> words;
        int read;
        std::string version;
        const char* status;  // nullptr: whatever the text, it is not checked
    } cases[] = {
        {"up to the terminator", terminated, 64, "AB", "AB"},
        {"high bytes never enter the text", highByte, 64, "", nullptr},
        {"no terminator gives 32 characters", std::vector<uint16_t>(32, 0x005A), 64,
         std::string(32, 'Z'), nullptr},
        {"a block longer than 64 is an error", std::vector<uint16_t>(40, 0x0041), 80, "",
         "Error reading firmware-info!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetStatusText("Echo Check - Line Ok!");
        FirmwareReplyIs(WordBytes(c.words));
        EXPECT_EQ(GetVERSIONInfo(), c.read);
        EXPECT_EQ(std::string(szVersion), c.version);
        if (c.status != nullptr) {
            EXPECT_EQ(StatusText(), c.status);
        }
    }
}

TEST_F(TransactionTest, FirmwareTimeoutReadsAndDropsPartialBytes) {
    FirmwareReplyIs(WordBytes(std::vector<uint16_t>(20, 0x0041)));
    const double start = line.now();
    const int n = GetVERSIONInfo();
    EXPECT_EQ(n, 40);
    EXPECT_STREQ(szVersion, "");
    EXPECT_EQ(StatusText(), "Timeout - reading firmware info!");
    EXPECT_GT(line.now() - start, 2.0);
    EXPECT_LT(line.now() - start, 2.1);
    EXPECT_EQ(GetInQLen(com), 0);
    EXPECT_EQ(line.notificationMask(com), eventMask) << "notification back on";
}

TEST_F(TransactionTest, FirmwareBytesAboveSevenBitsAreOneCharacterEach) {
    std::vector<uint16_t> words(32, 0);
    words[0] = 0x00B5;  // micro sign in Latin-1
    words[1] = 0x00E9;  // e acute
    FirmwareReplyIs(WordBytes(words));
    EXPECT_EQ(GetVERSIONInfo(), 64);
    EXPECT_EQ(std::string(szVersion), "\xB5\xE9");
    EXPECT_EQ(StatusText(), "\xC2\xB5\xC3\xA9") << "shown as UTF-8, like every text";
    auto* status = qobject_cast<QLineEdit*>(CtrlWidget(panelHandle, PANEL_STATUS));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QString::fromUtf8("\u00B5\u00E9"));
}

TEST_F(TransactionTest, FirmwareFloodNeverOverrunsTheReadBuffer) {
    FirmwareReplyIs(std::vector<uint8_t>(3000, 0x41));
    const int n = GetVERSIONInfo();
    EXPECT_GE(n, 64);
    EXPECT_LE(nBytesR, kBufferBytes);
}

TEST_F(TransactionTest, FirmwareNotificationIsOffDuringTheRequest) {
    FirmwareReplyIs(WordBytes(std::vector<uint16_t>(32, 0x0041)));
    rx_flag = 0;
    GetVERSIONInfo();
    EXPECT_EQ(rx_flag, 0) << "the 64 bytes were never taken for a frame";
    EXPECT_EQ(controller.requests().back().order, ORDER_FIRMWARE);
}

class DataBlockTest : public TransactionTest {
  protected:
    void SetUp() override {
        TransactionTest::SetUp();
        RemoveReceiveNotification();
        Restale();
    }
    // Stale words of an earlier capture, which no block of this one may leave behind.
    static void Restale() {
        for (int i = 0; i < kCurveWords; ++i) yArrayA[i] = yArrayB[i] = kStale;
        for (int& ok : dataBlockOk) ok = 1;
    }
    static constexpr unsigned short kStale = 0xBEEF;
    void Capture() {
        for (int start : {0, 64, 128, 192}) ReadData64(start, 1, ORDER_DATA);
    }
};

TEST_F(DataBlockTest, RequestCarriesStartIndexAndSecondWord) {
    ReadData64(128, 1, ORDER_DATA);
    ASSERT_EQ(controller.requests().size(), 1u);
    const auto& req = controller.requests()[0];
    EXPECT_EQ(req.order, 9);
    EXPECT_EQ(req.payload[0], 128);
    EXPECT_EQ(req.payload[1], 1);
    for (int k = 2; k < 16; ++k) EXPECT_EQ(req.payload[k], 0);
}

TEST_F(DataBlockTest, WordsKeepTheirBitPatterns) {
    controller.setReplyHook([](int, const uint16_t*, sim::Reply& reply) {
        reply.bytes = WordBytes(std::vector<uint16_t>(64, 0x1234));
        reply.bytes[0] = 0xFF;
        reply.bytes[1] = 0x38;
    });
    EXPECT_EQ(ReadData64(0, 1, ORDER_DATA), 64);
    EXPECT_EQ(yArrayA[0], 0xFF38);
    EXPECT_EQ(yArrayA[63], 0x1234);
    EXPECT_EQ(StatusText(), "Data[64] block received!");
}

TEST_F(DataBlockTest, UnknownStartReadsButStoresNothing) {
    EXPECT_EQ(ReadData64(32, 1, ORDER_DATA), 64);
    for (int i = 0; i < 128; ++i) ASSERT_TRUE(yArrayA[i] == kStale && yArrayB[i] == kStale);
}

TEST_F(DataBlockTest, BlocksLandInTheirHalves) {
    Capture();
    ASSERT_EQ(controller.requests().size(), 4u);
    for (int i = 0; i < 128; ++i) {
        // Each block is the emulator's curve at the moment its request arrived.
        const double tA = controller.requests()[i / 64].time;
        const double tB = controller.requests()[2 + i / 64].time;
        EXPECT_EQ(yArrayA[i], controller.model().curveWord(0, i, tA)) << i;
        EXPECT_EQ(yArrayB[i], controller.model().curveWord(1, i, tB)) << i;
    }
    EXPECT_EQ(DataBlocksReceived(), 4);
}

TEST_F(DataBlockTest, ASilentBlockLeavesOnlyItsOwnQuarterEmpty) {
    // Which block is silent, and which blocks the capture holds at its end.
    const struct {
        int silentStart;
        std::array<int, 4> received;
    } cases[] = {{0, {0, 1, 1, 1}}, {128, {1, 1, 0, 1}}, {192, {1, 1, 1, 0}}};
    for (const auto& c : cases) {
        Restale();
        controller.model().faults.ignoredBlockStarts = {c.silentStart};
        Capture();
        for (int slot = 0; slot < 4; ++slot) {
            EXPECT_EQ(dataBlockOk[slot], c.received[slot]) << c.silentStart << " " << slot;
            const unsigned short* half = (slot < 2 ? yArrayA : yArrayB) + (slot % 2) * 64;
            int zeros = 0;
            for (int k = 0; k < 64; ++k) {
                ASSERT_NE(half[k], kStale) << "stale word in block " << slot;
                zeros += half[k] == 0;
            }
            if (c.received[slot] == 0) {
                EXPECT_EQ(zeros, 64) << c.silentStart << " " << slot;
            }
        }
        if (c.silentStart == 192) {
            EXPECT_EQ(StatusText(), "Timeout-RS-232 while reading 64 data-words!");
        }
    }
}

TEST_F(DataBlockTest, OversizedReplyStoresNothingAndSaysSo) {
    SetStatusText("Data[64] block received!");  // the previous block's text
    controller.setReplyHook([](int, const uint16_t*, sim::Reply& reply) {
        reply.bytes = std::vector<uint8_t>(2000, 0x11);
    });
    EXPECT_EQ(ReadData64(0, 1, ORDER_DATA), 0);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(yArrayA[i], 0) << i;
    EXPECT_EQ(dataBlockOk[0], 0);
    EXPECT_EQ(StatusText(), "Error reading 64 data-words!");
    EXPECT_LE(nBytesR, kBufferBytes);
}

TEST_F(DataBlockTest, WaitingForABlockSleepsOnThePort) {
    controller.model().faults.silent = true;
    const int pollsBefore = line.processEventsCalls();
    const int queriesBefore = line.queueQueries();
    ReadData64(0, 1, ORDER_DATA);
    // A handful of looks at the queue, not one per millisecond of the 1.5 s.
    EXPECT_LE(line.queueQueries() - queriesBefore, 5);
    EXPECT_EQ(line.processEventsCalls(), pollsBefore) << "the wait processes no events";
}
