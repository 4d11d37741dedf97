// Fields store what was typed when they lose the focus. Commands that read the project (Save,
// Test, Build, Export, closing) first take the focus away and give it back, so a field still
// being typed into is stored before the command runs.
#pragma once

namespace velkan {

void CommitFocusedEdit();

}  // namespace velkan
