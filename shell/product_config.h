// The one home of everything particular to the product this installer installs: names, page texts,
// folders, lists, resource ids and the embedded archive's size and checksum. Every other module names
// an entry here and holds no product word of its own.
//
// Texts are code-page-1252 bytes. Path entries hold folder macros (%%NAME%%) and are passed through
// ExpandMacros right before use, never stored expanded.
#ifndef VELTMOOR_PRODUCT_CONFIG_H
#define VELTMOOR_PRODUCT_CONFIG_H

#include <stdint.h>

enum { PAGE_COUNT = 12, LAST_PAGE = PAGE_COUNT - 1 };

struct ProductConfigTable {
    // Identity, window and profile
    const char *WindowClass;
    const char *WindowTitle;
    const char *MakerSiteAddress;
    const char *ProductName;
    const char *DefaultInstallFolder;
    const char *NewFolderName;
    const char *ConfigSubfolder;
    const char *ProfileFile;
    const char *OldProfileFile;
    const char *ProfileSection;
    const char *ProfileItems;
    const char *ProgramFile;
    const char *ScreenSaverFile;
    const char *ScreenSaverTimeout;
    const char *FolderList;
    const char *MoveList;
    const char *GroupItems;
    const char *WhatsNewFile;
    const char *UninstallerFile;
    const char *InstallLogName;      // "InstallLog.txt"
    const char *InstalledListName;   // "INSTALLD.TXT"
    const char *TempFilePrefix;
    uint32_t PayloadSize;
    uint32_t PayloadCrc;

    // Closing options
    const char *UpdaterInstaller;
    const char *UpdaterProfileFile;
    const char *UpdaterSection;
    const char *UpdateListFile;
    const char *UpdateListSection;
    const char *UpdateListKey;
    const char *UpdateListPage;
    const char *MakerWebPage;
    const char *BrowserProgram;
    const char *PromoViewer;
    const char *PromoGraphic;

    // Resource ids
    int IconResource;
    int BannerBitmap;
    int LicenceResource;
    int PayloadResource;
    int WizardTemplate;
    int ChooserTemplate;
    int NewFolderTemplate;
    int FolderBitmap;
    int FolderSelectedBitmap;
    int PageTemplates[PAGE_COUNT];

    // Page texts and captions
    const char *WelcomeText;
    const char *NoticeText;
    const char *AdvisoryText;
    const char *FolderPageText;
    const char *LicenceTitle;
    const char *OptionsText;
    const char *OptionWhatsNewCaption;
    const char *OptionStartMenuCaption;
    const char *OptionDesktopCaption;
    const char *OptionScreenSaverCaption;
    const char *SummaryText;
    const char *SummaryPrompt;
    const char *ProgressText;
    const char *UnpackedText;
    const char *UpdaterOfferText;
    const char *UpdaterButtonCaption;
    const char *SubscribeText;
    const char *SubscribeButtonCaption;
    const char *DontAskCaption;
    const char *FinishedText;
    const char *CloseCaption;

    // Messages that name the maker or its programs
    const char *RegistrationFailedText;  // backdrop class could not be registered
    const char *DamagedInstallerText;    // licence text missing or damaged
    const char *DamagedArchiveText;      // payload missing, wrong size or checksum
    const char *PromoShownLine;          // closing option: the viewer was started
    const char *PromoSkippedLine;        // closing option: CD-ROM installation
};

extern const ProductConfigTable ProductConfig;

#endif
