<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
<context>
    <name>Gramolux</name>
    <message>
        <source>Gramolux</source>
        <translation>Gramolux</translation>
    </message>
    <message>
        <source>About Gramolux</source>
        <translation>Acerca de Gramolux</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Preferencias…</translation>
    </message>
    <message>
        <source>Install iTunes Script…</source>
        <translation>Instalar el script de iTunes…</translation>
    </message>
    <message>
        <source>Quit Gramolux</source>
        <translation>Salir de Gramolux</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>Abrir…</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Abrir reciente</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Borrar la lista</translation>
    </message>
    <message>
        <source>Controls</source>
        <translation>Controles</translation>
    </message>
    <message>
        <source>Play/Stop</source>
        <translation>Reproducir/Detener</translation>
    </message>
    <message>
        <source>Turntable</source>
        <translation>Tocadiscos</translation>
    </message>
    <message>
        <source>Play switch</source>
        <translation>Interruptor de reproducción</translation>
    </message>
    <message>
        <source>Tone arm</source>
        <translation>Brazo del tocadiscos</translation>
    </message>
    <message>
        <source>Speed dial</source>
        <translation>Selector de velocidad</translation>
    </message>
    <message>
        <source>No record</source>
        <translation>Sin disco</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>%1 times normal speed</source>
        <translation>%1 veces la velocidad normal</translation>
    </message>
    <message>
        <source>Gramolux cannot draw its turntable: the TIFF image plug-in of Qt is missing. Please install the package %1 and start Gramolux again.</source>
        <translation>Gramolux no puede dibujar su tocadiscos: falta el complemento de imágenes TIFF de Qt. Instale el paquete %1 y vuelva a iniciar Gramolux.</translation>
    </message>
    <message>
        <source>Play with Gramolux</source>
        <translation>Reproducir con Gramolux</translation>
    </message>
    <message>
        <source>Do you want to install the script file?</source>
        <translation>¿Desea instalar el archivo de script?</translation>
    </message>
    <message>
        <source>An AppleScript file will be created in your ~/Library/iTunes/Scripts directory.</source>
        <translation>Se creará un archivo AppleScript en su carpeta ~/Library/iTunes/Scripts.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Installation was successful.</source>
        <translation>La instalación se ha completado correctamente.</translation>
    </message>
    <message>
        <source>If iTunes is running, please relaunch it.</source>
        <translation>Si iTunes está abierto, vuelva a iniciarlo.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Music Files</source>
        <translation>Archivos de música</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Music volume</source>
        <translation>Volumen de la música</translation>
    </message>
    <message>
        <source>Effects volume</source>
        <translation>Volumen de los efectos</translation>
    </message>
    <message>
        <source>Distortion</source>
        <translation>Distorsión</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Saltos</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Ruido</translation>
    </message>
    <message>
        <source>A record player for your music files, made by the Gramolux developers.</source>
        <translation>Un tocadiscos para sus archivos de música, creado por los desarrolladores de Gramolux.</translation>
    </message>
    <message>
        <source>Can’t play “%1”: %2</source>
        <translation>No se puede reproducir «%1»: %2</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>archivo no encontrado</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permiso denegado</translation>
    </message>
    <message>
        <source>no sound track we can decode</source>
        <translation>ninguna pista de sonido que podamos decodificar</translation>
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
        <translation>Siguiente canción</translation>
    </message>
    <message>
        <source>1 song of “%1” is missing</source>
        <translation>Falta 1 canción de «%1»</translation>
    </message>
    <message>
        <source>%1 songs of “%2” are missing</source>
        <translation>Faltan %1 canciones de «%2»</translation>
    </message>
    <message>
        <source>No songs to play in “%1”</source>
        <translation>No hay canciones que reproducir en «%1»</translation>
    </message>
    <message>
        <source>Only the first %1 songs were taken; the rest were left out</source>
        <translation>Solo se tomaron las primeras %1 canciones; el resto se omitió</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Sonoridad</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Desactivada</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Pista</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Álbum</translation>
    </message>
    <message>
        <source>There is no sound output: the song plays silently</source>
        <translation>No hay salida de sonido: la canción suena en silencio</translation>
    </message>
    <message>
        <source>Previous Song</source>
        <translation>Canción anterior</translation>
    </message>
    <message>
        <source>Forward 10 Seconds</source>
        <translation>Adelantar 10 segundos</translation>
    </message>
    <message>
        <source>Back 10 Seconds</source>
        <translation>Retroceder 10 segundos</translation>
    </message>
    <message>
        <source>Louder</source>
        <translation>Más alto</translation>
    </message>
    <message>
        <source>Quieter</source>
        <translation>Más bajo</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>Más rápido</translation>
    </message>
    <message>
        <source>Slower</source>
        <translation>Más lento</translation>
    </message>
    <message>
        <source>Normal Speed</source>
        <translation>Velocidad normal</translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Volume %1 %</source>
        <translation>Volumen %1 %</translation>
    </message>
    <message>
        <source>Speed %1×</source>
        <translation>Velocidad %1×</translation>
    </message>
    <message>
        <source>Drop a song here, or choose File ▸ Open…</source>
        <translation>Suelte una canción aquí o elija Archivo ▸ Abrir…</translation>
    </message>
    <message>
        <source>Queue…</source>
        <translation>Cola…</translation>
    </message>
    <message>
        <source>Queue</source>
        <translation>Cola de reproducción</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vaciar</translation>
    </message>
</context>
</TS>
