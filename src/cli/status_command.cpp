#include "cli/cli_ui.h"
#include "cli/command_args.h"
#include "cli/commands.h"

#include <ostream>

namespace quillon::cli {

int RunStatus(const Dialogue& dialogue, std::ostream& out) {
    for (const TextBox* box :
         {&dialogue.CommentOnglet1, &dialogue.CommentOnglet2, &dialogue.IdentiteCourante,
          &dialogue.RepertoireCourant, &dialogue.TexteGroupeActif, &dialogue.NomAutre,
          &dialogue.IdentiteAutre, &dialogue.RepertoireAutre, &dialogue.RepertoireLu,
          &dialogue.RepertoireChoisi, &dialogue.IdentiteFichier}) {
        out << box->Name() << ": " << ForConsole(box->Text()) << "\n";
    }
    return ExitDone;
}

} // namespace quillon::cli
