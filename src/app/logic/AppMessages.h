// Every text the main window shows in a message box or a caption, and the
// small text builders around them. Message boxes carry the title AppTitle.
#pragma once

namespace qelvo::msg {

inline constexpr const char* AppTitle = "Qelvo";
inline constexpr const char* MainCaption = "Qelvo v1.1";
inline constexpr const char* AboutVersion = "Version 1.1";

// Loading a database ("The file: " + name + FileMissingTail, ...).
inline constexpr const char* FileMissingHead = "The file: ";
inline constexpr const char* FileMissingTail = " does not exists!";
inline constexpr const char* LoadFailedHead = "The database: ";
inline constexpr const char* LoadFailedTail = " cannot be loaded. Possible corrupted database.";
// After LoadFailedHead + name when the file could not be opened at all.
inline constexpr const char* LoadFileInUseTail =
    " cannot be read now: another program may be holding it open, or it may not be read. The file was left as "
    "it was.";
// A failed save (the save is not reported as done).
inline constexpr const char* SaveFailedHead = "The database could not be saved to: ";
inline constexpr const char* SaveFailedTail = "\r\nYour changes are kept in memory; use \"Save as...\" to save them elsewhere.";
// Between SaveFailedHead + name and SaveFailedTail when the file could
// not be read before it was replaced.
inline constexpr const char* SaveFileInUse =
    "\r\nThe file cannot be read now: another program may be holding it open. It was left as it was.";
// An exit whose save failed: the window stays unless the changes go elsewhere.
inline constexpr const char* ExitSaveFailedTail =
    "\r\nYour changes are kept. Do you want to save them under another name (\"Save as...\") and exit?"
    "\r\nNo keeps the window open with your changes.";
// The three answers of a save that cannot simply replace the file.
inline constexpr const char* SaveChoices =
    "\r\n\r\nYes: replace it.\r\nNo: keep it and save the tasks shown under another name (\"Save as...\")."
    "\r\nCancel: do not save now.";
// Saving over a file that could not be read at start-up.
inline constexpr const char* SaveOverFailedLoadHead = "The database: ";
inline constexpr const char* SaveOverFailedLoadTail =
    " could not be loaded at start-up. Saving now replaces that file with the tasks shown.";
// Saving over a file that another writer changed since it was read or
// written here.
inline constexpr const char* ChangedOnDiskHead = "The database: ";
inline constexpr const char* ChangedOnDiskTail =
    " was changed by another program (another copy of Qelvo, perhaps) since it was loaded or saved here.";

// Text the database cannot hold: it keeps 8-bit text in the system's
// character set.
inline constexpr const char* UnsavableTitle =
    "This task holds characters that Qelvo cannot save: it keeps tasks and notes in the system's 8-bit "
    "character set, where they would become \"?\" or other letters. Change or remove them and try again.";
inline constexpr const char* UnsavableTyped =
    "This character cannot be saved: Qelvo keeps tasks and notes in the system's 8-bit character set, where it "
    "would become \"?\" or another letter. It was not typed.";
inline constexpr const char* UnsavablePasted =
    "The text on the clipboard holds characters that cannot be saved: Qelvo keeps tasks and notes in the system's "
    "8-bit character set, where they would become \"?\" or other letters. It was not pasted.";
inline constexpr const char* UnsavableDropped =
    "The text dropped holds characters that cannot be saved: Qelvo keeps tasks and notes in the system's 8-bit "
    "character set, where they would become \"?\" or other letters. It was not dropped.";
inline constexpr const char* UnsavableName =
    "This name holds characters that cannot be saved: Qelvo keeps lists and tags in the system's 8-bit character "
    "set, where they would become \"?\" or other letters. Change or remove them and try again.";
// A tag name with a character that separates or marks tags in a task.
inline constexpr const char* TagNameSeparators =
    "A tag name cannot hold \",\", \"[\", \"]\" or \";\": they separate and mark the tags of a task. Change "
    "or remove them and try again.";
// A tag named as a marker line of the database file, which would end the
// tags there when the file is read again.
inline constexpr const char* TagNameMarker =
    "A tag cannot be named \"<--<*&^Tags^&*>-->\" or \"<--<*&^Folders^&*>-->\" (in any letter case): Qelvo marks "
    "where the lists and the tags end in the database with these lines. Choose another name.";
// A list name with the character that ends a list's name in the file.
inline constexpr const char* ListNameSeparator =
    "A list name cannot hold \"\xF7\": Qelvo ends a list's name with it in the database. Change or remove it and "
    "try again.";
// A new list or tag named as one there is (letter case aside): the two
// could not be told apart, and deleting one would take the other's tasks.
inline constexpr const char* ListNameTaken =
    "There is already a list of this name. Choose another name, or press Esc and use the list there is.";
inline constexpr const char* TagNameTaken =
    "There is already a tag of this name. Choose another name, or press Esc and use the tag there is.";

// A task typed while the database has no list to put it in.
inline constexpr const char* NoListForTask =
    "Qelvo keeps every task in a list, and this database has none yet. Make one with \"< New List >\" under "
    "the lists (Ctrl+Shift+N), then add the task again.";

// A quick-entry text of a priority mark, a due date or tags and no title.
inline constexpr const char* NoTitleForTask =
    "This task has no title: Qelvo shows tasks by their titles. Type the title after the due date and tags, "
    "then add the task again.";

// Settings the user saved (Options, "Set as default database") that could
// not be written: SettingsNotSavedHead + the file + SettingsNotSavedTail.
inline constexpr const char* SettingsNotSavedHead = "The settings could not be saved to: ";
inline constexpr const char* SettingsNotSavedTail =
    "\r\nThe file may be read-only or held open by another program. The settings apply until Qelvo is closed; "
    "the next start uses the ones saved before.";
inline constexpr const char* RunEntryNotSaved =
    "Whether Qelvo opens with Windows could not be changed: the registry value could not be written.";

// Questions.
// After the name chosen for the copy kept before clearing, when it is the
// open file itself.
inline constexpr const char* CopyIsClearedFileTail =
    " is the database being cleared, so it cannot keep the copy. Nothing was cleared; choose another name "
    "for the copy.";
inline constexpr const char* ClearDatabaseQuestion =
    "Current database will be erased. Before clearing, do you want to Save As...?";
inline constexpr const char* ExitWithoutSavingQuestion = "Are you sure you want to exit without saving your changes ?";
inline constexpr const char* SaveBeforeExitQuestion =
    "You've made changes to this database, do you want to save before exiting?";
inline constexpr const char* SaveBeforeOpenQuestion =
    "You've made changes to this database, do you want to save before opening another?";
inline constexpr const char* DeleteTasksQuestion = "Are you sure you want to delete selected item(s)? (no undo is possible)";
inline constexpr const char* DeleteListQuestion = "Are you sure you want to delete this list and all the tasks inside?";

// Exports and printing.
inline constexpr const char* PrintHeading = "To Do List";
inline constexpr const char* HtmlExportHeading = "To do list";
inline constexpr const char* PrintWindowCaption = "Print preview....";
inline constexpr const char* ExportWriteFailedHead = "The file could not be written: ";
inline constexpr const char* ExportOverDatabaseHead =
    "This file holds the open database, so the export was not written to it. Choose another name than: ";
inline constexpr const char* ReplaceExportTail = " already exists.\nDo you want to replace it?";
inline constexpr const char* PrintEngineMissing =
    "The report cannot be shown: no HTML engine answered. Printing and the preview are not available.";
inline constexpr const char* PrintEngineWaiting = "Waiting for the HTML engine to show the report...";
inline constexpr const char* TemplateMissingHead = "The print template could not be read: ";
inline constexpr const char* StickyNotesMissing = "Sticky notes need the library Jotpaper.dll, which was not found.";
// Format arguments: the most notes at once, the tasks chosen.
inline constexpr const char* TooManyStickyNotes =
    "Sticky notes are made for at most %d tasks at a time, and %d tasks are chosen. Choose fewer tasks.";

// Captions.
inline constexpr const char* LastSaveHead = "   [Last Save at ";
inline constexpr const char* CountdownHead = "  [Saving Database in ";
inline constexpr const char* CountdownTail = " seconds ]";
inline constexpr const char* CountdownMarker = "[Saving Database in";
// What the caption ends with while auto-save is on but leaves the open
// database alone (TAutoSaveHold).
inline constexpr const char* NotDefaultNote = "  [Not auto-saved: not the default database]";
inline constexpr const char* UnreadNote = "  [Not auto-saved: the file could not be read at start-up]";
inline constexpr const char* ChangedElsewhereNote = "  [Not saved: changed by another program, Ctrl+S decides]";

// A default database that does not exist: at start (default, then the
// file opened instead), and in Options' Ok (default, then the file a
// start opens instead).
inline constexpr const char* DefaultMissingHead = "The default database: ";
inline constexpr const char* DefaultMissingOpenedMiddle = " does not exist.\r\nQelvo opens ";
inline constexpr const char* DefaultMissingOpenedTail =
    " instead. Auto-save saves only the default database, so it leaves this one: choose the default database "
    "in Tools > Options, or open one and use \"Set as default database\".";
inline constexpr const char* DefaultMissingOpensMiddle = " does not exist.\r\nUntil it does, Qelvo opens ";
inline constexpr const char* DefaultMissingOpensTail =
    " at start, and auto-save, which saves only the default database, saves nothing.\r\n\r\nKeep it as the "
    "default database?";

// The web pages and the support address of the maker.
inline constexpr const char* HomePageUrl = "https://www.qelvo.com/?source=soft";
inline constexpr const char* HelpPageUrl = "https://www.qelvo.com/Qelvo-help.html?source=soft";
inline constexpr const char* ContactPageUrl = "https://www.qelvo.com/contact.html?source=soft";
inline constexpr const char* SupportMailUrl = "mailto:support@qelvo.com";

// File dialogs.
inline constexpr const char* DatabaseFilter = "Qelvo database (*.kpx)|*.kpx";
inline constexpr const char* OptionsDatabaseFilter = "Qelvo Database  (*.kpx)|*.kpx";
inline constexpr const char* HtmlExportFilter = "HTML files (*.html)|*.html";
inline constexpr const char* TextExportFilter = "Text Files (*.txt)|*.txt";
inline constexpr const char* PendrillaxFilter = "Pendrillax tasks database (*.jmw)|*.jmw";
inline constexpr const char* WebpageFilter = "Webpage (*.html)|*.html";

} // namespace qelvo::msg
