#include "files/file_error.h"

#include <cerrno>
#include <cstring>

namespace quillon {

std::string FileError::Reason() const {
    switch (Errno) {
    case kNotRegularFile:
        return "ce n'est pas un fichier ordinaire (lien, périphérique ou tube), il n'est pas lu";
    case kOutsideSource:
        return "le chemin mène hors de l'installation ou du dossier choisi";
    case ENOENT:
        return "le fichier ou son dossier n'existe pas";
    case EACCES:
    case EPERM:
        return "accès refusé";
    case ENOSPC:
        return "disque plein";
#ifdef EROFS
    case EROFS:
        return "support en lecture seule";
#endif
    case EISDIR:
        return "c'est un dossier";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case EEXIST:
        return "le fichier existe déjà";
    case EMFILE:
    case ENFILE:
        return "trop de fichiers ouverts";
    case EIO:
        return "erreur de lecture ou d'écriture sur le disque";
    case EFBIG:
        return "fichier trop grand";
    case ENAMETOOLONG:
        return "nom de fichier trop long";
    case EINVAL:
        return "nom de fichier incorrect";
    case EILSEQ:
        return "fichier en UTF-16, où du texte REGEDIT4 ne peut pas être ajouté";
    default:
        return std::strerror(Errno);
    }
}

} // namespace quillon
