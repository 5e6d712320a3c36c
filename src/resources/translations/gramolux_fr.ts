<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>Gramolux</name>
    <message>
        <source>Gramolux</source>
        <translation>Gramolux</translation>
    </message>
    <message>
        <source>About Gramolux</source>
        <translation>À propos de Gramolux</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Install iTunes Script…</source>
        <translation>Installer le script iTunes…</translation>
    </message>
    <message>
        <source>Quit Gramolux</source>
        <translation>Quitter Gramolux</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>Ouvrir…</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Ouvrir un fichier récent</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Effacer la liste</translation>
    </message>
    <message>
        <source>Controls</source>
        <translation>Commandes</translation>
    </message>
    <message>
        <source>Play/Stop</source>
        <translation>Lecture/Arrêt</translation>
    </message>
    <message>
        <source>Turntable</source>
        <translation>Tourne-disque</translation>
    </message>
    <message>
        <source>Play switch</source>
        <translation>Bouton de lecture</translation>
    </message>
    <message>
        <source>Tone arm</source>
        <translation>Bras de lecture</translation>
    </message>
    <message>
        <source>Speed dial</source>
        <translation>Sélecteur de vitesse</translation>
    </message>
    <message>
        <source>No record</source>
        <translation>Aucun disque</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>%1 times normal speed</source>
        <translation>%1 fois la vitesse normale</translation>
    </message>
    <message>
        <source>Gramolux cannot draw its turntable: the TIFF image plug-in of Qt is missing. Please install the package %1 and start Gramolux again.</source>
        <translation>Gramolux ne peut pas dessiner sa platine : le module d’images TIFF de Qt est absent. Veuillez installer le paquet %1, puis relancer Gramolux.</translation>
    </message>
    <message>
        <source>Play with Gramolux</source>
        <translation>Lire avec Gramolux</translation>
    </message>
    <message>
        <source>Do you want to install the script file?</source>
        <translation>Voulez-vous installer le fichier de script ?</translation>
    </message>
    <message>
        <source>An AppleScript file will be created in your ~/Library/iTunes/Scripts directory.</source>
        <translation>Un fichier AppleScript sera créé dans votre dossier ~/Library/iTunes/Scripts.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Installation was successful.</source>
        <translation>L’installation a réussi.</translation>
    </message>
    <message>
        <source>If iTunes is running, please relaunch it.</source>
        <translation>Si iTunes est ouvert, veuillez le relancer.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Music Files</source>
        <translation>Fichiers audio</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Music volume</source>
        <translation>Volume de la musique</translation>
    </message>
    <message>
        <source>Effects volume</source>
        <translation>Volume des effets</translation>
    </message>
    <message>
        <source>Distortion</source>
        <translation>Distorsion</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Sauts</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Bruit</translation>
    </message>
    <message>
        <source>A record player for your music files, made by the Gramolux developers.</source>
        <translation>Un tourne-disque pour vos fichiers audio, réalisé par les développeurs de Gramolux.</translation>
    </message>
    <message>
        <source>Can’t play “%1”: %2</source>
        <translation>Impossible de lire « %1 » : %2</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>fichier introuvable</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>accès refusé</translation>
    </message>
    <message>
        <source>no sound track we can decode</source>
        <translation>aucune piste audio que nous sachions décoder</translation>
    </message>
    <message>
        <source>%1 — %2 (%3)</source>
        <translation>%1 — %2 (%3)</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Next Song</source>
        <translation>Morceau suivant</translation>
    </message>
    <message>
        <source>1 song of “%1” is missing</source>
        <translation>1 morceau de « %1 » est introuvable</translation>
    </message>
    <message>
        <source>%1 songs of “%2” are missing</source>
        <translation>%1 morceaux de « %2 » sont introuvables</translation>
    </message>
    <message>
        <source>No songs to play in “%1”</source>
        <translation>Aucun morceau à lire dans « %1 »</translation>
    </message>
    <message>
        <source>Only the first %1 songs were taken; the rest were left out</source>
        <translation>Seuls les %1 premiers morceaux ont été pris ; les autres ont été laissés de côté</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Volume sonore</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Piste</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>There is no sound output: the song plays silently</source>
        <translation>Aucune sortie audio : le morceau joue en silence</translation>
    </message>
    <message>
        <source>Previous Song</source>
        <translation>Morceau précédent</translation>
    </message>
    <message>
        <source>Forward 10 Seconds</source>
        <translation>Avancer de 10 secondes</translation>
    </message>
    <message>
        <source>Back 10 Seconds</source>
        <translation>Reculer de 10 secondes</translation>
    </message>
    <message>
        <source>Louder</source>
        <translation>Plus fort</translation>
    </message>
    <message>
        <source>Quieter</source>
        <translation>Moins fort</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>Plus rapide</translation>
    </message>
    <message>
        <source>Slower</source>
        <translation>Plus lent</translation>
    </message>
    <message>
        <source>Normal Speed</source>
        <translation>Vitesse normale</translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Volume %1 %</source>
        <translation>Volume %1 %</translation>
    </message>
    <message>
        <source>Speed %1×</source>
        <translation>Vitesse %1×</translation>
    </message>
    <message>
        <source>Drop a song here, or choose File ▸ Open…</source>
        <translation>Déposez un morceau ici, ou choisissez Fichier ▸ Ouvrir…</translation>
    </message>
    <message>
        <source>Queue…</source>
        <translation>File d’attente…</translation>
    </message>
    <message>
        <source>Queue</source>
        <translation>File d’attente</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vider</translation>
    </message>
</context>
</TS>
