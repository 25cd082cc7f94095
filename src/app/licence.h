// What the programs say of their licence after their name and version (--version).
#pragma once

namespace quillon {

inline constexpr const char* kLicenceLines =
    "Copyright (C) 2026 L'équipe Quillon\n"
    "Licence GPLv3+ : GNU GPL version 3 ou ultérieure <https://gnu.org/licenses/gpl.html>\n"
    "avec la permission additionnelle (section 7) de lier Quillon à The Sleuth Kit (Common\n"
    "Public License 1.0, IBM Public License 1.0) et de distribuer le résultat.\n"
    "Ceci est un logiciel libre : vous êtes libre de le modifier et de le redistribuer.\n"
    "Il n'y a AUCUNE GARANTIE, dans la mesure permise par la loi.\n";

} // namespace quillon
