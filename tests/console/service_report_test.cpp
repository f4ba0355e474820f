// The service report, written by --report on the emulator: the page reads as XML and holds
// the parameter table with its differences, both graphs as images and the line's figures;
// the PDF form carries both images too.
#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <filesystem>
#include <map>

#include "link/line_figures.h"
#include "params/journal.h"
#include "platform/files/file_service.h"
#include "platform/serial/com_service.h"
#include "tests/support/app/run_program.h"
#include "tests/support/read_text.h"
#include "tests/support/sim_controller.h"
#include "tests/support/sim_line.h"

namespace fs = std::filesystem;

namespace {

// What a test looks at in the page: each table's rows (by the table's class), the rows'
// classes, and the images' sources; paragraphs' texts.
struct Page {
    std::map<std::string, std::vector<std::vector<std::string>>> tables;
    std::map<std::string, std::string> rowClassOf;  // by the row's first cell
    std::vector<std::string> images;
    std::vector<std::string> paragraphs;
    std::vector<std::string> preformatted;
    std::string error;
};

Page ReadPage(const std::string& html) {
    Page page;
    QXmlStreamReader xml(QString::fromStdString(html));
    std::string table, rowClass;
    std::vector<std::string>* row = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const QString name = xml.name().toString();
        const auto attribute = [&](const char* a) {
            return xml.attributes().value(QString::fromLatin1(a)).toString().toStdString();
        };
        if (name == "table") {
            table = attribute("class");
        } else if (name == "tr") {
            page.tables[table].emplace_back();
            row = &page.tables[table].back();
            rowClass = attribute("class");
        } else if ((name == "td" || name == "th") && row != nullptr) {
            row->push_back(xml.readElementText().toStdString());
            if (row->size() == 1) page.rowClassOf[row->front()] = rowClass;
        } else if (name == "pre") {
            page.preformatted.push_back(xml.readElementText().toStdString());
        } else if (name == "p") {
            // A paragraph holds text or an image.
            std::string text;
            while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::EndElement &&
                                     xml.name() == QStringLiteral("p"))) {
                if (xml.isCharacters()) text += xml.text().toString().toStdString();
                if (xml.isStartElement() && xml.name() == QStringLiteral("img"))
                    page.images.push_back(attribute("src"));
            }
            page.paragraphs.push_back(text);
        }
    }
    if (xml.hasError()) page.error = xml.errorString().toStdString();
    return page;
}

bool HasParagraph(const Page& page, const std::string& text) {
    return std::find(page.paragraphs.begin(), page.paragraphs.end(), text) !=
           page.paragraphs.end();
}

class ServiceReport : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/kv-report-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        SetComService(&line);
        kervano::ResetLineFigures();  // the figures of this run alone
        sim::ControllerModel& model = controller.model();
        for (auto* store : {model.ram, model.eeprom}) {
            store[0][6] = store[0][10] = 2000;  // TOP's limits far outside its curve
            store[0][7] = store[0][11] = 0;     // BOT's on its reference
        }
        model.eeprom[0][4] = 620;  // refTOP not stored
    }
    void TearDown() override {
        SetComService(nullptr);
        fs::remove_all(dir);
    }
    std::string File(const char* name) const { return (dir / name).string(); }
    int Run(const std::string& file) { return RunHeadlessMode({"--report", file}, out, errors); }

    fs::path dir;
    SimLine line;
    SimController controller{line};
    std::string out, errors;
};

}  // namespace

TEST_F(ServiceReport, PageHoldsTheParameterTableBothGraphsAndTheLine) {
    kervano::JournalRecord write;
    write.command = "Send to EEPROM";
    write.status = "Parameters sent to <EEPROM> & verified";  // escaped on the page
    kervano::AddJournalRecord(write);
    ASSERT_EQ(Run(File("r.html")), 0) << errors;
    EXPECT_NE(out.find("Service report written to " + File("r.html")), std::string::npos) << out;
    const Page page = ReadPage(ReadText(File("r.html")));
    ASSERT_EQ(page.error, "");

    const auto& parameters = page.tables.at("parameters");
    ASSERT_EQ(parameters.size(), 19u);  // the head and the eighteen
    EXPECT_EQ(parameters[4], (std::vector<std::string>{"refTOP", "500", "500", "620", "500",
                                                       "* RAM not stored"}));
    EXPECT_EQ(page.rowClassOf.at("refTOP"), "differs");
    EXPECT_EQ(page.rowClassOf.at("refBOT"), "");
    EXPECT_TRUE(HasParagraph(page, "1 parameters marked *."));

    ASSERT_EQ(page.images.size(), 2u);
    for (const std::string& source : page.images) {
        const std::string prefix = "data:image/png;base64,";
        ASSERT_EQ(source.rfind(prefix, 0), 0u);
        const QImage image = QImage::fromData(
            QByteArray::fromBase64(QByteArray::fromStdString(source.substr(prefix.size()))),
            "PNG");
        EXPECT_FALSE(image.isNull());
        EXPECT_GT(image.width(), 300);
    }
    EXPECT_TRUE(HasParagraph(page, "TOP: 0 of 128 received points outside its limit lines"));
    const auto bot = std::find_if(page.paragraphs.begin(), page.paragraphs.end(),
                                  [](const std::string& p) { return p.rfind("BOT: ", 0) == 0; });
    ASSERT_NE(bot, page.paragraphs.end());
    EXPECT_EQ(bot->rfind("BOT: 0 of", 0), std::string::npos) << *bot;

    ASSERT_FALSE(page.preformatted.empty());
    EXPECT_EQ(page.preformatted.back(), kervano::JournalRecordText(write));

    const auto& about = page.tables.at("about");
    EXPECT_EQ(about[4], (std::vector<std::string>{"Firmware", "SIM 1.31"}));
    const auto& figures = page.tables.at("line");
    ASSERT_EQ(figures.size(), 5u);
    EXPECT_EQ(figures[0][0], "Frames sent");
    EXPECT_EQ(figures[0][1], figures[1][1]);  // every frame had its reply
    EXPECT_EQ(figures[2][1], "0");
}

TEST_F(ServiceReport, PdfCarriesBothGraphs) {
    ASSERT_EQ(Run(File("r.pdf")), 0) << errors;
    const std::string pdf = ReadText(File("r.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    size_t images = 0;
    for (size_t at = pdf.find("/Subtype /Image"); at != std::string::npos;
         at = pdf.find("/Subtype /Image", at + 1)) {
        ++images;
    }
    EXPECT_EQ(images, 2u);
}
