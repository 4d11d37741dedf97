#include "core/wizard/RuntimeTexts.h"

namespace velkan {

// Order of every table: English, Danish, Dutch, Finnish, French, German, Italian, Norwegian,
// Portuguese (Brazilian), Spanish, Swedish.

const char* RuntimeLanguageName(RuntimeLanguage language)
{
    static RuntimeText names = {"English", "Danish",    "Dutch",      "Finnish", "French", "German",
                                "Italian", "Norwegian", "Portuguese", "Spanish", "Swedish"};
    return InLanguage(names, language);
}

RuntimeText kTextAllUsers = {
    "Install for &all users of this computer",
    "Installer for &alle brugere af denne computer",
    "Installeren voor &alle gebruikers van deze computer",
    "Asenna &kaikille tämän tietokoneen käyttäjille",
    "Installer pour &tous les utilisateurs de cet ordinateur",
    "Für &alle Benutzer dieses Computers installieren",
    "Installa per &tutti gli utenti di questo computer",
    "Installer for &alle brukere av denne datamaskinen",
    "Instalar para &todos os usuários deste computador",
    "Instalar para &todos los usuarios de este equipo",
    "Installera för &alla användare av den här datorn",
};

RuntimeText kTextProtectedFolder = {
    "refused as installation directory (a drive root or a folder Windows shares)",
    "afvist som installationsmappe (roden af et drev eller en mappe, som Windows deler)",
    "geweigerd als installatiemap (de hoofdmap van een station of een map die Windows deelt)",
    "hylätty asennuskansiona (aseman juuri tai Windowsin jakama kansio)",
    "refusé comme répertoire d'installation (la racine d'un lecteur ou un dossier partagé par "
    "Windows)",
    "als Installationsverzeichnis abgelehnt (das Stammverzeichnis eines Laufwerks oder ein von "
    "Windows gemeinsam genutzter Ordner)",
    "rifiutata come cartella di installazione (la radice di un'unità o una cartella condivisa da "
    "Windows)",
    "avvist som installasjonsmappe (roten av en stasjon eller en mappe som Windows deler)",
    "recusada como pasta de instalação (a raiz de uma unidade ou uma pasta compartilhada pelo "
    "Windows)",
    "rechazada como carpeta de instalación (la raíz de una unidad o una carpeta que Windows "
    "comparte)",
    "nekad som installationsmapp (roten på en enhet eller en mapp som Windows delar)",
};

RuntimeText kTextBadFolderName = {
    "Windows cannot hold this folder name: no < > : \" / | ? *, no space or dot at the end, no "
    "device name (CON, NUL, COM1...).",
    "Windows kan ikke bruge dette mappenavn: ingen < > : \" / | ? *, intet mellemrum eller "
    "punktum til sidst, intet enhedsnavn (CON, NUL, COM1...).",
    "Windows kan deze mapnaam niet gebruiken: geen < > : \" / | ? *, geen spatie of punt aan het "
    "eind, geen apparaatnaam (CON, NUL, COM1...).",
    "Windows ei voi käyttää tätä kansion nimeä: ei merkkejä < > : \" / | ? *, ei välilyöntiä tai "
    "pistettä lopussa, ei laitteen nimeä (CON, NUL, COM1...).",
    "Windows ne peut pas utiliser ce nom de dossier : ni < > : \" / | ? *, ni espace ou point "
    "final, ni nom de périphérique (CON, NUL, COM1...).",
    "Diesen Ordnernamen kann Windows nicht verwenden: kein < > : \" / | ? *, kein Leerzeichen "
    "oder Punkt am Ende, kein Gerätename (CON, NUL, COM1...).",
    "Windows non può usare questo nome di cartella: niente < > : \" / | ? *, niente spazio o "
    "punto finale, niente nomi di dispositivo (CON, NUL, COM1...).",
    "Windows kan ikke bruke dette mappenavnet: ingen < > : \" / | ? *, ikke mellomrom eller "
    "punktum til slutt, ikke enhetsnavn (CON, NUL, COM1...).",
    "O Windows não pode usar este nome de pasta: sem < > : \" / | ? *, sem espaço ou ponto no "
    "final, sem nome de dispositivo (CON, NUL, COM1...).",
    "Windows no puede usar este nombre de carpeta: sin < > : \" / | ? *, sin espacio ni punto al "
    "final, sin nombre de dispositivo (CON, NUL, COM1...).",
    "Windows kan inte använda det här mappnamnet: inga < > : \" / | ? *, inget mellanslag eller "
    "punkt i slutet, inget enhetsnamn (CON, NUL, COM1...).",
};

RuntimeText kTextAlreadyRunning = {
    "Another setup of this product is running. Wait until it has finished, then try again.",
    "En anden installation af dette produkt kører. Vent, til den er færdig, og prøv så igen.",
    "Er wordt al een andere installatie van dit product uitgevoerd. Wacht tot deze klaar is en "
    "probeer het dan opnieuw.",
    "Tämän tuotteen toinen asennus on käynnissä. Odota, kunnes se on valmis, ja yritä sitten "
    "uudelleen.",
    "Une autre installation de ce produit est en cours. Attendez qu'elle soit terminée, puis "
    "réessayez.",
    "Eine andere Installation dieses Produkts läuft gerade. Warten Sie, bis sie beendet ist, und "
    "versuchen Sie es dann erneut.",
    "È in corso un'altra installazione di questo prodotto. Attendere che sia terminata, quindi "
    "riprovare.",
    "En annen installasjon av dette produktet kjører. Vent til den er ferdig, og prøv deretter på "
    "nytt.",
    "Outra instalação deste produto está em andamento. Aguarde até que termine e tente "
    "novamente.",
    "Se está ejecutando otra instalación de este producto. Espere a que termine y vuelva a "
    "intentarlo.",
    "En annan installation av den här produkten pågår. Vänta tills den är klar och försök sedan "
    "igen.",
};

RuntimeText kTextInvalidData = {
    "This file contains invalid data.",
    "Denne fil indeholder ugyldige data.",
    "Dit bestand bevat ongeldige gegevens.",
    "Tämä tiedosto sisältää virheellisiä tietoja.",
    "Ce fichier contient des données non valides.",
    "Diese Datei enthält ungültige Daten.",
    "Questo file contiene dati non validi.",
    "Denne filen inneholder ugyldige data.",
    "Este arquivo contém dados inválidos.",
    "Este archivo contiene datos no válidos.",
    "Den här filen innehåller ogiltiga data.",
};

RuntimeText kTextInvalidUninstallInfo = {
    "Invalid uninstall info. This program cannot uninstall the product.",
    "Ugyldige afinstallationsoplysninger. Dette program kan ikke afinstallere produktet.",
    "Ongeldige verwijderingsgegevens. Dit programma kan het product niet verwijderen.",
    "Virheelliset asennuksen poistotiedot. Tämä ohjelma ei voi poistaa tuotetta.",
    "Informations de désinstallation non valides. Ce programme ne peut pas désinstaller le "
    "produit.",
    "Ungültige Deinstallationsinformationen. Dieses Programm kann das Produkt nicht "
    "deinstallieren.",
    "Informazioni di disinstallazione non valide. Questo programma non può disinstallare il "
    "prodotto.",
    "Ugyldig avinstalleringsinformasjon. Dette programmet kan ikke avinstallere produktet.",
    "Informações de desinstalação inválidas. Este programa não pode desinstalar o produto.",
    "Información de desinstalación no válida. Este programa no puede desinstalar el producto.",
    "Ogiltig avinstallationsinformation. Det här programmet kan inte avinstallera produkten.",
};

RuntimeText kTextNotAllRemoved = {
    "Not everything could be removed:",
    "Ikke alt kunne fjernes:",
    "Niet alles kon worden verwijderd:",
    "Kaikkea ei voitu poistaa:",
    "Tout n'a pas pu être supprimé :",
    "Nicht alles konnte entfernt werden:",
    "Non è stato possibile rimuovere tutto:",
    "Ikke alt kunne fjernes:",
    "Não foi possível remover tudo:",
    "No se ha podido eliminar todo:",
    "Allt kunde inte tas bort:",
};

RuntimeText kTextLeftInUse = {
    "left until the next restart, in use: %s",
    "efterladt til næste genstart, i brug: %s",
    "blijft staan tot de volgende herstart, in gebruik: %s",
    "jätetty seuraavaan uudelleenkäynnistykseen, käytössä: %s",
    "laissé jusqu'au prochain redémarrage, en cours d'utilisation : %s",
    "bis zum nächsten Neustart belassen, in Verwendung: %s",
    "lasciato fino al prossimo riavvio, in uso: %s",
    "latt stå til neste omstart, i bruk: %s",
    "mantido até a próxima reinicialização, em uso: %s",
    "se deja hasta el próximo reinicio, en uso: %s",
    "lämnad till nästa omstart, används: %s",
};

RuntimeText kTextLeftDenied = {
    "left: cannot remove, denied access: %s",
    "efterladt: kan ikke fjernes, adgang nægtet: %s",
    "blijft staan: kan niet worden verwijderd, toegang geweigerd: %s",
    "jätetty: ei voi poistaa, käyttö estetty: %s",
    "laissé : suppression impossible, accès refusé : %s",
    "belassen: Entfernen nicht möglich, Zugriff verweigert: %s",
    "lasciato: impossibile rimuovere, accesso negato: %s",
    "latt stå: kan ikke fjernes, tilgang nektet: %s",
    "mantido: não foi possível remover, acesso negado: %s",
    "se deja: no se puede eliminar, acceso denegado: %s",
    "lämnad: kan inte tas bort, åtkomst nekad: %s",
};

RuntimeText kTextRemovedAtRestart = {
    "The files still in use are removed when Windows restarts.",
    "Filerne, der stadig er i brug, fjernes, når Windows genstartes.",
    "De bestanden die nog in gebruik zijn, worden verwijderd wanneer Windows opnieuw opstart.",
    "Käytössä olevat tiedostot poistetaan, kun Windows käynnistetään uudelleen.",
    "Les fichiers encore utilisés seront supprimés au redémarrage de Windows.",
    "Die noch verwendeten Dateien werden beim Neustart von Windows entfernt.",
    "I file ancora in uso verranno rimossi al riavvio di Windows.",
    "Filene som fortsatt er i bruk, fjernes når Windows starter på nytt.",
    "Os arquivos ainda em uso serão removidos quando o Windows for reiniciado.",
    "Los archivos que siguen en uso se eliminarán cuando se reinicie Windows.",
    "Filerna som fortfarande används tas bort när Windows startas om.",
};

}  // namespace velkan
