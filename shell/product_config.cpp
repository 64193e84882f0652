// Veltmoor: A Harbor Chronicle, by Tallowmere. "\x97" is the code-page-1252 dash, "\xBB" the "»".
#include "shell/product_config.h"
#include "shell/resource_ids.h"
#include "payload_constants.h"  // generated from the archive that is actually embedded

#define MAKER_SITE "www.tallowmere.example"

const ProductConfigTable ProductConfig = {
    /* WindowClass */ "TALLOWMEREINSTALLER",
    /* WindowTitle */ "Install Veltmoor - A Harbor Chronicle by Tallowmere",
    /* MakerSiteAddress */ MAKER_SITE,
    /* ProductName */ "Veltmoor - A Harbor Chronicle",
    /* DefaultInstallFolder */ "%%PROGRAMFILES%%Tallowmere\\Veltmoor A Harbor Chronicle",
    /* NewFolderName */ "Veltmoor A Harbor Chronicle",
    /* ConfigSubfolder */ "Tallowmere\\",
    /* ProfileFile */ "%%CONFIGFOLDER%%harbway.ini",
    /* OldProfileFile */ "%%WINDOWSFOLDER%%harbway.ini",
    /* ProfileSection */ "VeltmoorAHarborChronicle",
    /* ProfileItems */ "ApplicationPath=%%INSTALLPATH%%",
    /* ProgramFile */ "%%INSTALLPATH%%harbway.exe",
    /* ScreenSaverFile */ "%%WINDOWSFOLDER%%Veltmoor - A Harbor Chronicle.scr",
    /* ScreenSaverTimeout */ "30",
    /* FolderList */ "%%INSTALLPATH%%html",
    /* MoveList */
    "%%INSTALLPATH%%harbsave.exe\t%%WINDOWSFOLDER%%Veltmoor - A Harbor Chronicle.scr;"
    "%%INSTALLPATH%%*.HTM\t%%INSTALLPATH%%html\\;"
    "%%INSTALLPATH%%HTML*.GIF\t%%INSTALLPATH%%html\\;"
    "%%INSTALLPATH%%HTML*.JPG\t%%INSTALLPATH%%html\\;"
    "%%INSTALLPATH%%HTML*.PNG\t%%INSTALLPATH%%html\\;"
    "%%INSTALLPATH%%TALWUNIN.EXE\t%%WINDOWSFOLDER%%TALWUNIN.EXE",
    /* GroupItems */
    "%%INSTALLPATH%%harbway.exe\tVeltmoor - A Harbor Chronicle;"
    "%%INSTALLPATH%%clickme.exe\tClick Me;"
    "%%INSTALLPATH%%tallweb.exe\tTallowmere Web Page;"
    "%%INSTALLPATH%%html\\manual.htm\tDocumentation Read Me First\t%%INSTALLPATH%%document.icn;"
    "%%INSTALLPATH%%order.doc\tOrder Form\t%%INSTALLPATH%%document.icn",
    /* WhatsNewFile */ "%%INSTALLPATH%%Whatsnew.Doc",
    /* UninstallerFile */ "TALWUNIN.EXE",
    /* InstallLogName */ "InstallLog.txt",
    /* InstalledListName */ "INSTALLD.TXT",
    /* TempFilePrefix */ "TALW",
    /* PayloadSize */ VELTMOOR_PAYLOAD_SIZE,
    /* PayloadCrc */ VELTMOOR_PAYLOAD_CRC,

    /* UpdaterInstaller */ "%%INSTALLPATH%%talwuddl.exe",
    /* UpdaterProfileFile */ "%%WINDOWSFOLDER%%talwupdt.ini",
    /* UpdaterSection */ "PATCHWELL",
    /* UpdateListFile */ "%%WINDOWSFOLDER%%TallowmereUpdateList.INI",
    /* UpdateListSection */ "UpdateList",
    /* UpdateListKey */ "SupressUpdateListMessage",
    /* UpdateListPage */ "http://" MAKER_SITE "/updatelist/subscribe.html",
    /* MakerWebPage */ "http://" MAKER_SITE "/index.html",
    /* BrowserProgram */ "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
    /* PromoViewer */ "%%INSTALLPATH%%showcard.exe",
    /* PromoGraphic */ "veltmoorreg.png",

    /* IconResource */ IDR_ICON,
    /* BannerBitmap */ IDR_BANNER_BITMAP,
    /* LicenceResource */ IDR_LICENCE,
    /* PayloadResource */ IDR_PAYLOAD,
    /* WizardTemplate */ IDD_WIZARD,
    /* ChooserTemplate */ IDD_CHOOSER,
    /* NewFolderTemplate */ IDD_NEW_FOLDER,
    /* FolderBitmap */ IDR_FOLDER_BITMAP,
    /* FolderSelectedBitmap */ IDR_FOLDER_SEL_BITMAP,
    /* PageTemplates */ {IDD_PAGE_WELCOME, IDD_PAGE_NOTICE, IDD_PAGE_ADVISORY, IDD_PAGE_FOLDER,
                         IDD_PAGE_LICENCE, IDD_PAGE_OPTIONS, IDD_PAGE_SUMMARY, IDD_PAGE_PROGRESS,
                         IDD_PAGE_UNPACKED, IDD_PAGE_UPDATER, IDD_PAGE_SUBSCRIBE, IDD_PAGE_FINISHED},

    /* WelcomeText */
    "You are about to install Veltmoor: A Harbor Chronicle.\n\nClick on Next to begin.",
    /* NoticeText */
    "This is a self-extracting Windows archive. It will install your software and create shortcuts "
    "for it. You must have at least 16 megabytes of temporary free hard drive space. Do not install "
    "this software through Add/Remove Programs.\n\n"
    "Make sure you have no other software running during this installation "
    "\x97"
    " spyware blockers, virus scanners, security programs and firewalls may prevent this installer "
    "from functioning correctly.\n\n"
    "(If you encounter a problem with this installer, you probably have security software running "
    "which has blocked it. The easiest way to resolve this, if it happens, is to reboot your computer "
    "in Safe mode, run the installer again, and then reboot normally. To reboot in Safe mode, restart "
    "your system, hold down the F8 key and select Safe mode from the menu that appears.)",
    /* AdvisoryText */
    "Veltmoor: A Harbor Chronicle tells a story of smuggling, shipwreck and harbour feuds. Its subject "
    "matter includes scenes of violence, crude language and themes that some users may find offensive."
    "\n\n"
    "If you are likely to be offended by such material, we earnestly ask that you do not install this "
    "software. Click on Quit now and nothing will be installed."
    "\n\n"
    "If you choose to continue, please keep this product away from young children.",
    /* FolderPageText */
    "We recommend installing Veltmoor: A Harbor Chronicle in its default folder, above, unless you have "
    "a good reason for doing otherwise.\n\nClick on Browse to choose another install location.\n\n"
    "Your Veltmoor: A Harbor Chronicle installation will include an uninstall function to remove this "
    "software from your system, should you wish to do so. The uninstall function can be accessed "
    "through the Add/Remove Programs item of the Windows Control Panel.",
    /* LicenceTitle */ "End user license agreement for Veltmoor: A Harbor Chronicle",
    /* OptionsText */
    "The following options will allow you to customize the installation of Veltmoor: A Harbor "
    "Chronicle.\n\nWe recommend that you leave all these options enabled unless you have a good "
    "reason for doing otherwise.",
    /* OptionWhatsNewCaption */ "Display the What's New document at the conclusion of this installation",
    /* OptionStartMenuCaption */ "Add Veltmoor: A Harbor Chronicle to the Windows Start menu",
    /* OptionDesktopCaption */ "Add a shortcut for Veltmoor: A Harbor Chronicle to the Windows desktop",
    /* OptionScreenSaverCaption */ "Make Veltmoor: A Harbor Chronicle your default Windows screen saver",
    /* SummaryText */
    "Veltmoor: A Harbor Chronicle is ready to be installed.\n\nYour software will be installed in the "
    "folder indicated below. You can modify the installation path and other installation options by "
    "clicking on Previous.",
    /* SummaryPrompt */ "Click on Next to install Veltmoor: A Harbor Chronicle",
    /* ProgressText */ "Please wait while Veltmoor: A Harbor Chronicle installs.",
    /* UnpackedText */
    "All the files required to install Veltmoor: A Harbor Chronicle have been unpacked.\n\nPlease "
    "click on Next to complete the last few steps of this installation.",
    /* UpdaterOfferText */
    "You can optionally install Tallowmere Patchwell.\n\nPatchwell will notify you when there are "
    "updates available for your Tallowmere applications.\n\nYou must be connected to the Internet to "
    "install and use Tallowmere Patchwell.\n\nPatchwell will not affect your use of this application, "
    "and it can be uninstalled at any time.\n\nClick on Install Patchwell to install Patchwell "
    "\x97"
    " a new installer window will open when this installation is complete. Click on Go in the "
    "Patchwell installer.",
    /* UpdaterButtonCaption */ "Install Patchwell",
    /* SubscribeText */
    "Would you like to subscribe to the Tallowmere E-mail Update List?\n\nThe E-Mail Update List will "
    "notify you when updates are available for the software you have just installed.\n\nTo subscribe "
    "to the list, click on Subscribe. Your web browser will open a page on the Tallowmere web server "
    "with a form to allow you to add your address to the list.\n\nClick on Next to proceed with this "
    "installation.\n\nIf you subscribe to the list, your e-mail address will not be disclosed to third "
    "parties, or used to send you messages other than postings from the list.\n\nYou can unsubscribe "
    "at any time.",
    /* SubscribeButtonCaption */ "Subscribe",
    /* DontAskCaption */ "Don't ask me again",
    /* FinishedText */
    "Veltmoor: A Harbor Chronicle has been installed.\n\nYou can run the Veltmoor: A Harbor Chronicle "
    "software through the Start "
    "\xBB"
    " Programs "
    "\xBB"
    " Veltmoor - A Harbor Chronicle item, or by double-clicking on the Veltmoor - A Harbor Chronicle "
    "desktop shortcut if you installed one.\n\nPlease click on Close to close this installer.",
    /* CloseCaption */ "Close",

    /* RegistrationFailedText */
    "There has been an internal error: this installer could not be registered. Please contact "
    "Tallowmere at " MAKER_SITE " for assistance.",
    /* DamagedInstallerText */
    "There has been an internal error: this installer has been damaged or tampered with. Please "
    "download a new copy of the installer from " MAKER_SITE " .",
    /* DamagedArchiveText */
    "There has been an internal error: this archive in installer has been damaged or tampered with. "
    "Please download a new copy of the installer from " MAKER_SITE " .",
    /* PromoShownLine */ "ShowCard has displayed the current Tallowmere graphic.",
    /* PromoSkippedLine */ "ShowCard was skipped during a CD-ROM installation.",
};
