#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> boxes;

void record_box(const char* text, const char* caption) {
    boxes.push_back(std::string(text) + "|" + caption);
}

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tolvan-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        boxes.clear();
        previous = set_message_box_handler(record_box);
    }
    void TearDown() override {
        set_message_box_handler(previous);
        fs::remove_all(dir);
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    std::string slurp(const char* name) const {
        std::string t;
        EXPECT_TRUE(read_text_file(path(name), t, 1 << 20));
        return t;
    }
    void put(const char* name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename());
        std::sort(v.begin(), v.end());
        return v;
    }

    std::string dir;
    message_box_handler previous = nullptr;
};

main_settings some_values() {
    main_settings s;
    for (int i = 0; i < main_pair_count; ++i) main_settings_value(s, i) = 100 + i;
    return s;
}

iq_records some_iq() {
    iq_records r;
    for (int i = 0; i < iq_slot_count; ++i) r[i] = {"card " + std::to_string(i), 9000 + i, -i};
    return r;
}

int lines(const std::string& t) {
    return int(std::count(t.begin(), t.end(), '\n'));
}

TEST_F(SettingsStore, FirstSaveCreatesBothFilesAndLoadReadsThemBack) {
    main_settings m;
    iq_records iq;
    auto none = load_settings_files(dir, iq, m);
    EXPECT_FALSE(none.iq_file_read);
    EXPECT_FALSE(none.main_file_read);

    auto saved = save_settings_files(dir, some_iq(), some_values());
    EXPECT_TRUE(saved.iq_written && saved.main_written);
    EXPECT_EQ(names(), (std::vector<std::string>{"IQ.ini", "Tolvan_101.ini"}));  // no temporaries
    EXPECT_EQ(lines(slurp("IQ.ini")), 20);
    EXPECT_EQ(lines(slurp("Tolvan_101.ini")), 48);
    EXPECT_EQ(slurp("Tolvan_101.ini"), format_main_settings(some_values()));
    EXPECT_TRUE(boxes.empty());

    auto r = load_settings_files(dir, iq, m);
    EXPECT_TRUE(r.iq_file_read && r.main_file_read);
    EXPECT_EQ(r.iq_values_read, 10);
    EXPECT_EQ(r.main_values_read, 24);
    for (int i = 0; i < main_pair_count; ++i) EXPECT_EQ(main_settings_value(m, i), 100 + i);
    EXPECT_EQ(iq[4].gain, 9004);
    EXPECT_EQ(iq[4].phase, -4);
}

TEST_F(SettingsStore, WithoutIqFileNothingIsLoaded) {
    put("Tolvan_101.ini", format_main_settings(some_values()));
    main_settings m;
    m.center_frequency_Hz = 7056212;
    iq_records iq;
    auto r = load_settings_files(dir, iq, m);
    EXPECT_FALSE(r.iq_file_read);
    EXPECT_FALSE(r.main_file_read);
    EXPECT_EQ(m.center_frequency_Hz, 7056212);
    EXPECT_EQ(m.selected_mode, 0);
}

TEST_F(SettingsStore, WithoutMainFileOnlyIqValuesLoad) {
    put("IQ.ini", format_iq_settings(some_iq()));
    main_settings m;
    m.center_frequency_Hz = 7056212;
    iq_records iq;
    auto r = load_settings_files(dir, iq, m);
    EXPECT_TRUE(r.iq_file_read);
    EXPECT_EQ(r.iq_values_read, 10);
    EXPECT_FALSE(r.main_file_read);
    EXPECT_EQ(iq[2].gain, 9002);
    EXPECT_EQ(m.center_frequency_Hz, 7056212);
}

TEST_F(SettingsStore, EmptyMainFileLeavesCenterFrequencyZero) {
    put("IQ.ini", "");
    put("Tolvan_101.ini", "center_frequency_Hz\r\n");
    main_settings m;
    m.center_frequency_Hz = 7056212;
    m.rf_gain = 3;
    iq_records iq;
    iq[0].gain = 10000;
    auto r = load_settings_files(dir, iq, m);
    EXPECT_TRUE(r.iq_file_read && r.main_file_read);
    EXPECT_EQ(r.iq_values_read + r.main_values_read, 0);
    EXPECT_EQ(m.center_frequency_Hz, 0);
    EXPECT_EQ(m.rf_gain, 3);
    EXPECT_EQ(iq[0].gain, 10000);
}

TEST_F(SettingsStore, FolderOrFifoInPlaceOfAFileCountsAsMissing) {
    fs::create_directory(path("IQ.ini"));
    main_settings m;
    iq_records iq;
    EXPECT_FALSE(load_settings_files(dir, iq, m).iq_file_read);
    fs::remove(path("IQ.ini"));
    ASSERT_EQ(mkfifo(path("IQ.ini").c_str(), 0600), 0);
    EXPECT_FALSE(load_settings_files(dir, iq, m).iq_file_read);  // and does not block
}

TEST_F(SettingsStore, MissingFolderShowsTheBoxForEachFile) {
    auto r = save_settings_files(dir + "/no/such/folder", some_iq(), some_values());
    EXPECT_FALSE(r.iq_written);
    EXPECT_FALSE(r.main_written);
    EXPECT_EQ(boxes, (std::vector<std::string>{"fail to write file|file error",
                                               "fail to write file|file error"}));
}

TEST_F(SettingsStore, FileWhereAFolderIsExpectedFailsCleanly) {
    put("notafolder", "x");
    auto r = save_settings_files(path("notafolder"), some_iq(), some_values());
    EXPECT_FALSE(r.iq_written || r.main_written);
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(SettingsStore, UnwritableIqFileStillWritesTheMainFile) {
    // A non-empty folder named IQ.ini cannot be replaced by a file.
    fs::create_directories(path("IQ.ini") + "/keep");
    auto r = save_settings_files(dir, some_iq(), some_values());
    EXPECT_FALSE(r.iq_written);
    EXPECT_TRUE(r.main_written);
    EXPECT_EQ(boxes, (std::vector<std::string>{"fail to write file|file error"}));
    EXPECT_TRUE(fs::is_directory(path("IQ.ini") + "/keep"));
    EXPECT_EQ(slurp("Tolvan_101.ini"), format_main_settings(some_values()));
    EXPECT_EQ(names(), (std::vector<std::string>{"IQ.ini", "Tolvan_101.ini"}));
}

TEST_F(SettingsStore, WriteFailingMidwayKeepsTheOldFile) {
    put("IQ.ini", "old iq\n");
    put("Tolvan_101.ini", "old main\n");
    // A file-size limit between the two files' sizes: "IQ.ini" fits, the main file does
    // not, so its write fails after the first bytes, as on a full disk.
    const std::string iq_text = format_iq_settings(some_iq());
    const std::string main_text = format_main_settings(some_values());
    ASSERT_LT(iq_text.size() + 50, main_text.size());
    rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = iq_text.size() + 50;
    auto old_handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto r = save_settings_files(dir, some_iq(), some_values());
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);

    EXPECT_TRUE(r.iq_written);
    EXPECT_FALSE(r.main_written);
    EXPECT_EQ(boxes, (std::vector<std::string>{"fail to write file|file error"}));
    EXPECT_EQ(slurp("IQ.ini"), iq_text);
    EXPECT_EQ(slurp("Tolvan_101.ini"), "old main\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"IQ.ini", "Tolvan_101.ini"}));
}

TEST_F(SettingsStore, SaveReplacesAnExistingFileCompletely) {
    put("Tolvan_101.ini", std::string(5000, 'z'));
    put("IQ.ini", std::string(5000, 'z'));
    save_settings_files(dir, some_iq(), some_values());
    EXPECT_EQ(slurp("Tolvan_101.ini"), format_main_settings(some_values()));
    EXPECT_EQ(slurp("IQ.ini"), format_iq_settings(some_iq()));
}

}  // namespace
