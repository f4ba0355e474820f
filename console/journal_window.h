// View > Journal...: every write to a controller, newest first (this run's and those of
// earlier runs), filtered by firmware text or adapter; a record's values as the parameter
// table, taken into the panel's fields to restore a unit (as edits not yet sent), or copied
// as text. Not modal.
#pragma once

namespace kervano {

// Adds the item to the View menu and makes the journal file the journal's writer; once the
// panel's menus are installed.
void InstallJournalWindow();
// Shows the window (made on first use, when the earlier records are read).
void ShowJournalWindow();

}  // namespace kervano
