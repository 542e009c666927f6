#pragma once

#include <QString>

// Texts the user reads, written out as the user sees them rather than taken from the code
// under test: a text changed or lost by mistake fails every test that shows it.
namespace UserTexts {

inline const QString kLogFailure =
    QStringLiteral("Unable to write to Log file. Make sure another instance of the app is not opened");
inline const QString kLogFailureFrench = QStringLiteral(
    "Impossible d'écrire dans le fichier de log. Vérifiez qu'une autre instance de l'application n'est pas "
    "ouverte");

} // namespace UserTexts
