<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Gramolux</name>
    <message>
        <source>Gramolux</source>
        <translation>Gramolux</translation>
    </message>
    <message>
        <source>About Gramolux</source>
        <translation>Über Gramolux</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Install iTunes Script…</source>
        <translation>iTunes-Skript installieren…</translation>
    </message>
    <message>
        <source>Quit Gramolux</source>
        <translation>Gramolux beenden</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>Öffnen…</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Controls</source>
        <translation>Steuerung</translation>
    </message>
    <message>
        <source>Play/Stop</source>
        <translation>Wiedergabe/Stopp</translation>
    </message>
    <message>
        <source>Turntable</source>
        <translation>Plattenspieler</translation>
    </message>
    <message>
        <source>Play switch</source>
        <translation>Startschalter</translation>
    </message>
    <message>
        <source>Tone arm</source>
        <translation>Tonarm</translation>
    </message>
    <message>
        <source>Speed dial</source>
        <translation>Geschwindigkeitsregler</translation>
    </message>
    <message>
        <source>No record</source>
        <translation>Keine Platte</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1 times normal speed</source>
        <translation>%1-fache Normalgeschwindigkeit</translation>
    </message>
    <message>
        <source>Gramolux cannot draw its turntable: the TIFF image plug-in of Qt is missing. Please install the package %1 and start Gramolux again.</source>
        <translation>Gramolux kann seinen Plattenspieler nicht zeichnen: Das TIFF-Bildmodul von Qt fehlt. Bitte installieren Sie das Paket %1 und starten Sie Gramolux erneut.</translation>
    </message>
    <message>
        <source>Play with Gramolux</source>
        <translation>Mit Gramolux abspielen</translation>
    </message>
    <message>
        <source>Do you want to install the script file?</source>
        <translation>Möchten Sie die Skriptdatei installieren?</translation>
    </message>
    <message>
        <source>An AppleScript file will be created in your ~/Library/iTunes/Scripts directory.</source>
        <translation>Im Ordner ~/Library/iTunes/Scripts wird eine AppleScript-Datei angelegt.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Installation was successful.</source>
        <translation>Die Installation war erfolgreich.</translation>
    </message>
    <message>
        <source>If iTunes is running, please relaunch it.</source>
        <translation>Falls iTunes läuft, starten Sie es bitte neu.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Music Files</source>
        <translation>Musikdateien</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Music volume</source>
        <translation>Musiklautstärke</translation>
    </message>
    <message>
        <source>Effects volume</source>
        <translation>Effektlautstärke</translation>
    </message>
    <message>
        <source>Distortion</source>
        <translation>Verzerrung</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Springen</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Rauschen</translation>
    </message>
    <message>
        <source>A record player for your music files, made by the Gramolux developers.</source>
        <translation>Ein Plattenspieler für Ihre Musikdateien, gebaut von den Gramolux-Entwicklern.</translation>
    </message>
    <message>
        <source>Can’t play “%1”: %2</source>
        <translation>„%1“ kann nicht abgespielt werden: %2</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>no sound track we can decode</source>
        <translation>keine Tonspur, die wir dekodieren können</translation>
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
        <translation>Nächster Titel</translation>
    </message>
    <message>
        <source>1 song of “%1” is missing</source>
        <translation>1 Titel aus „%1“ fehlt</translation>
    </message>
    <message>
        <source>%1 songs of “%2” are missing</source>
        <translation>%1 Titel aus „%2“ fehlen</translation>
    </message>
    <message>
        <source>No songs to play in “%1”</source>
        <translation>Keine abspielbaren Titel in „%1“</translation>
    </message>
    <message>
        <source>Only the first %1 songs were taken; the rest were left out</source>
        <translation>Nur die ersten %1 Titel wurden übernommen, die übrigen ausgelassen</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Lautheit</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>There is no sound output: the song plays silently</source>
        <translation>Es gibt keine Tonausgabe: Das Lied spielt lautlos</translation>
    </message>
    <message>
        <source>Previous Song</source>
        <translation>Vorheriges Lied</translation>
    </message>
    <message>
        <source>Forward 10 Seconds</source>
        <translation>10 Sekunden vor</translation>
    </message>
    <message>
        <source>Back 10 Seconds</source>
        <translation>10 Sekunden zurück</translation>
    </message>
    <message>
        <source>Louder</source>
        <translation>Lauter</translation>
    </message>
    <message>
        <source>Quieter</source>
        <translation>Leiser</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>Schneller</translation>
    </message>
    <message>
        <source>Slower</source>
        <translation>Langsamer</translation>
    </message>
    <message>
        <source>Normal Speed</source>
        <translation>Normale Geschwindigkeit</translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Volume %1 %</source>
        <translation>Lautstärke %1 %</translation>
    </message>
    <message>
        <source>Speed %1×</source>
        <translation>Geschwindigkeit %1×</translation>
    </message>
    <message>
        <source>Drop a song here, or choose File ▸ Open…</source>
        <translation>Ziehen Sie ein Lied hierher oder wählen Sie Datei ▸ Öffnen…</translation>
    </message>
    <message>
        <source>Queue…</source>
        <translation>Warteschlange…</translation>
    </message>
    <message>
        <source>Queue</source>
        <translation>Warteschlange</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
</context>
</TS>
