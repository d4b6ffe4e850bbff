#include "commandshots.h"

#include "core/data/oledate.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/import/waksettings.h"
#include "ui/dialogs/cdlgbackup.h"
#include "ui/dialogs/cdlgreportdata.h"
#include "ui/framework/guicontext.h"
#include "ui/pages/cpageimps3.h"
#include "ui/pages/cpageimps3param.h"
#include "ui/pages/cpageimpwak.h"
#include "ui/pages/cpageimpwakparam.h"
#include "ui/pages/wizard.h"

#include <QApplication>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

namespace tarvo {

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Money S3 as Wine would hold it: two agendas, three years.
std::string SampleMoney(const std::string& folder) {
    const std::string dos = folder + "wine/dosdevices";
    WriteText(dos + "/c:/Program Files/CIGLER SOFTWARE/Common Files/Setup.ini",
              "[InstParams]\nLocalPath=C:\\Money S3\n");
    WriteText(dos + "/c:/Money S3/MonS3.ini", "[Directory]\nDataRoot=C:\\Data\n");
    const std::pair<const char*, const char*> years[] = {{"Agenda.001", "Pekárna Žitná s.r.o."},
                                                         {"Agenda.002", "Kolmara s.r.o."}};
    for (const auto& [agenda, name] : years) {
        const std::string path = dos + "/c:/Data/" + agenda;
        WriteText(path + "/Agenda.ini", Format("[Údaje o firmě]\nNázev=%s\n", name));
        for (int year = 2025; year <= 2026; ++year)
            WriteText(Format("%s/Rok.%i/Rok.ini", path.c_str(), year),
                      Format("[Global]\nÚčetní rok=%i\n", year));
    }
    return dos;
}

bool Save(QWidget* window, const QString& path) {
    window->show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const bool saved = window->grab().save(path);
    window->hide();
    return saved;
}

} // namespace

bool SaveCommandScreenshots(const GuiContext& context, QWidget* frame, const QString& output) {
    const std::string& folder = context.folder.folder;
    Profile profile(context.folder.SettingsPath());
    const std::pair<const char*, const char*> company[] = {{"Nazev", "Kolmara s.r.o."},
                                                           {"Sidlo", "Brno, Vídeňská 12"},
                                                           {"ICO", "12345678"},
                                                           {"DIC", "CZ12345678"},
                                                           {"EKOKOM_ID", "F00012345"},
                                                           {"MailInv", "faktury@kolmara.cz"},
                                                           {"KontaktniOsoba", "Jana Nová"},
                                                           {"Mail", "jana.nova@kolmara.cz"},
                                                           {"Tel", "+420 541 000 111"},
                                                           {"Fax", "+420 541 000 112"}};
    for (const auto& [key, value] : company)
        profile.WriteString("Spolecnost", key, value);
    profile.WriteString("ImportWAK", "Server", "wakserver\\SQL2019");
    profile.WriteString("ImportWAK", "Databaze", "WAKINTRA");
    profile.WriteString("ImportWAK", "Uzivatel", "tarvo");

    bool ok = true;
    CDlgReportData report(context, OleDate::FromParts(2026, 4, 15), frame);
    ok = Save(&report, output + "/cdlgreportdata.png") && ok;
    CDlgBackup backup(context, BackupMode::Backup, frame);
    ok = Save(&backup, output + "/cdlgbackup.png") && ok;

    {
        Wizard wizard(frame);
        auto* source = new CPageImpS3(context, SampleMoney(folder));
        wizard.AddPage(source);
        wizard.AddPage(new CPageImpS3Param(context, ReadMoneyImportSettings(profile)));
        wizard.show();
        source->List()->setCurrentItem(source->List()->topLevelItem(1));
        ok = Save(&wizard, output + "/cpageimps3.png") && ok;
        wizard.show();
        wizard.next();
        ok = Save(&wizard, output + "/cpageimps3param.png") && ok;
    }
    {
        Wizard wizard(frame);
        MoneyXmlImportParams xml;
        xml.file = "/home/jana/Money/export-2026-1.xml";
        auto* source = new CPageImpS3(context, SampleMoney(folder), xml);
        wizard.AddPage(source);
        wizard.AddPage(new CPageImpS3Param(context, ReadMoneyImportSettings(profile)));
        wizard.show();
        ok = Save(&wizard, output + "/cpageimps3xml.png") && ok;
    }
    {
        Wizard wizard(frame);
        wizard.AddPage(new CPageImpWAK(context, WakConnectionSettings::Load(profile)));
        wizard.AddPage(new CPageImpWAKParam(
            context, WakImportParams::Load(profile, OleDate::FromParts(2026, 4, 15))));
        ok = Save(&wizard, output + "/cpageimpwak.png") && ok;
        wizard.show();
        wizard.next();
        ok = Save(&wizard, output + "/cpageimpwakparam.png") && ok;
    }
    return ok;
}

} // namespace tarvo
