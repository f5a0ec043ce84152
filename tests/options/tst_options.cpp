#include "TestFolder.h"
#include "StoreImage.h"
#include "FileImage.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/SkinButton.h"
#include "options/COptionPsetDlg.h"
#include "options/Language.h"
#include "options/Password.h"

#include <QAccessible>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <filesystem>

static emtask::BusInfo& Bus() { return emtask::StoreImage::Settings(*emtask::GetManager()); }

class TestOptions : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        emtask::GetManager()->StartUp();  // a fresh settings block
    }
    void cleanup() { folder.reset(); }

    void eachChoiceIsSavedAtOnce()
    {
        COptionPsetDlg page(emtask::GetManager()->Settings());
        page.show();
        std::filesystem::remove(emtask::ConfigPath());

        // Each choice reaches the file before the next one is made.
        page.dateChoice(1)->click();
        QCOMPARE(StoredBus().dateorder, 1);
        page.photoChoice(1)->click();
        QCOMPARE(StoredBus().photosave, 1);
        // A screen reader's choice is one too.
        QAccessible::queryAccessibleInterface(page.dateChoice(2))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(StoredBus().dateorder, 2);
        page.rowsList()->setCurrentIndex(18);
        emit page.rowsList()->activated(18);
        QCOMPARE(StoredBus().rowsindex, 18);

        // The language is kept apart from the settings block, whose layout is fixed.
        const std::vector<char> block = ReadBytes(emtask::ConfigPath());
        using options::UiLanguage;
        const std::string home = emtask::ProgramFolder();
        QCOMPARE(page.languageList()->currentIndex(), int(UiLanguage::System));
        emit page.languageList()->activated(int(UiLanguage::Korean));
        QCOMPARE(options::ReadLanguageSetting(home), UiLanguage::Korean);
        QVERIFY(ReadBytes(emtask::ConfigPath()) == block);
        WriteBytes(options::LanguageSettingPath(home), "language=fr\n", 12);  // not ours
        QCOMPARE(options::ReadLanguageSetting(home), UiLanguage::System);
    }

    void theSystemLocaleOrTheSettingChoosesABuiltInCatalogue()
    {
        using options::UiLanguage;
        QCOMPARE(options::ResolveLanguage(UiLanguage::System, "ko-KR"), UiLanguage::Korean);
        QCOMPARE(options::ResolveLanguage(UiLanguage::System, "en-US"), UiLanguage::English);
        QCOMPARE(options::ResolveLanguage(UiLanguage::System, "C"), UiLanguage::English);
        QCOMPARE(options::ResolveLanguage(UiLanguage::Korean, "en-US"), UiLanguage::Korean);
        QCOMPARE(options::ResolveLanguage(UiLanguage::English, "ko-KR"), UiLanguage::English);
        // Both catalogues are in the program, each the other way round.
        QTranslator ko, en;
        QVERIFY(options::LoadCatalogue(UiLanguage::Korean, ko));
        QVERIFY(options::LoadCatalogue(UiLanguage::English, en));
        QCOMPARE(ko.translate("COptionPsetDlg", "Language"), QString("언어"));
        QCOMPARE(en.translate("records::RecordExcel", "처리오류"), QString("Error"));
    }

    void promptAcceptsExactlyTheStoredPassword()
    {
        CPassword prompt(emtask::GetManager()->Settings());
        QSignalSpy accepted(&prompt, &CPassword::accepted), refused(&prompt, &CPassword::refused);
        prompt.show();
        // Return in the entry confirms once: no failure follows the success.
        QTest::keyClicks(prompt.entry(), "7294");
        QTest::keyClick(prompt.entry(), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(refused.count(), 0);
        QVERIFY(!prompt.isVisible());
        for (const char* wrong : {"", "72944", " 7294"})
            QVERIFY2(!PasswordMatches(emtask::GetManager()->Settings(), wrong), wrong);

        // A stored field without its NUL is compared within the field.
        std::memset(Bus().password, 'z', sizeof Bus().password);
        QVERIFY(!PasswordMatches(emtask::GetManager()->Settings(), "zzzz"));
        QVERIFY(PasswordMatches(emtask::GetManager()->Settings(), std::string(64, 'z')));
    }

    void changingThePassword()
    {
        ScriptedDialogs dialogs;
        COptionHelpDlg page(emtask::GetManager()->Settings());
        page.show();

        QTest::keyClicks(page.newField(), "abc");
        QTest::keyClicks(page.repeatField(), "abc");
        QTest::mouseClick(page.applyButton(), Qt::LeftButton);
        QCOMPARE(dialogs.messages(), QStringList{"Password change success"});
        QCOMPARE(emtask::FieldText(StoredBus().password), std::string("abc"));

        // Refused changes keep the password.
        struct {
            const char* first;
            const char* second;
        } refused[] = {{"", ""}, {"xyz", "xyZ"}};
        for (auto& r : refused) {
            page.newField()->setText(r.first);
            page.repeatField()->setText(r.second);
            page.OnApply();
            QCOMPARE(dialogs.messages().back(), QString("Password change error"));
            QCOMPARE(emtask::FieldText(Bus().password), std::string("abc"));
            QCOMPARE(emtask::FieldText(StoredBus().password), std::string("abc"));
        }

        // A change that cannot be saved is not reported as made.
        page.newField()->setText("xyz");
        page.repeatField()->setText("xyz");
        emtask::iofault::Arm(1, EIO, emtask::iofault::kWriteSide, true);
        page.OnApply();
        emtask::iofault::Disarm();
        QVERIFY2(dialogs.messages().back().contains("could not be saved"),
                 qPrintable(dialogs.messages().back()));
        QCOMPARE(emtask::FieldText(StoredBus().password), std::string("abc"));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
