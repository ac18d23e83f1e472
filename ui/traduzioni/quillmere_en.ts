<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CErrore</name>
    <message>
        <source>Fallita allocazione del buffer per l&apos;immagine</source>
        <translation>Could not allocate the picture&apos;s buffer</translation>
    </message>
    <message>
        <source>Fallita allocazione memoria per tabella dei colori</source>
        <translation>Could not allocate memory for the colour table</translation>
    </message>
</context>
<context>
    <name>CFileDocumento</name>
    <message>
        <source>Un angolo della finestra ha più di %1 cifre significative: una finestra così profonda è oltre ciò che il programma disegna.</source>
        <translation>A corner of the window has more than %1 significant digits: a window that deep is beyond what the program draws.</translation>
    </message>
    <message>
        <source>Questa regione è più profonda di ciò che il programma disegna: i suoi angoli vorrebbero più di %1 cifre significative.</source>
        <translation>This region is deeper than the program draws: its corners would need more than %1 significant digits.</translation>
    </message>
</context>
<context>
    <name>CSessioneDisegno</name>
    <message>
        <source>Completamento: 0% </source>
        <translation>Progress: 0% </translation>
    </message>
    <message>
        <source>Errore sconosciuto durante il disegno</source>
        <translation>Unknown error while drawing</translation>
    </message>
</context>
<context>
    <name>FileDocumento</name>
    <message>
        <source>non è un file</source>
        <translation>not a file</translation>
    </message>
    <message>
        <source>il file è incompleto</source>
        <translation>the file is incomplete</translation>
    </message>
</context>
<context>
    <name>TBarraDiStato</name>
    <message>
        <source>TipoFrattale</source>
        <translation>FractalType</translation>
    </message>
    <message>
        <source>Dimensioni</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Tempi</source>
        <translation>Times</translation>
    </message>
</context>
<context>
    <name>TContenitore</name>
    <message>
        <source>Finestra %1</source>
        <translation>Window %1</translation>
    </message>
    <message>
        <source>Quillmere versione 0.9</source>
        <translation>Quillmere version 0.9</translation>
    </message>
</context>
<context>
    <name>TControlloDisegno</name>
    <message>
        <source>Controllo Disegno</source>
        <translation>Drawing Control</translation>
    </message>
    <message>
        <source>   Attendi...</source>
        <translation>   Wait...</translation>
    </message>
    <message>
        <source>Ridisegna</source>
        <translation>Draw</translation>
    </message>
</context>
<context>
    <name>TMDIChild</name>
    <message>
        <source>La cartella %1 non esiste.</source>
        <translation>The folder %1 does not exist.</translation>
    </message>
    <message>
        <source>Nome con cui salvare ?</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Impossibile salvare l&apos;immagine %1: %2</source>
        <translation>Cannot save the picture %1: %2</translation>
    </message>
    <message>
        <source>Immagine salvata, ma impossibile scrivere il file dei parametri %1: %2</source>
        <translation>Picture saved, but the parameters file %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>Il file dei parametri NON è valido!</source>
        <translation>The parameters file is NOT valid!</translation>
    </message>
    <message>
        <source>Impossibile leggere l&apos;immagine %1: %2</source>
        <translation>Cannot read the picture %1: %2</translation>
    </message>
</context>
<context>
    <name>TPannelli</name>
    <message>
        <source>Settaggi Insieme</source>
        <translation>Fractal Settings</translation>
    </message>
    <message>
        <source>Frattale: </source>
        <translation>Fractal: </translation>
    </message>
    <message>
        <source>Colore Interno:</source>
        <translation>Interior Colour:</translation>
    </message>
    <message>
        <source>Nero</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Sfumato Log1</source>
        <translation>Shaded Log1</translation>
    </message>
    <message>
        <source>Iterazioni:</source>
        <translation>Iterations:</translation>
    </message>
    <message>
        <source>Settaggi Finestra</source>
        <translation>Region Settings</translation>
    </message>
    <message>
        <source>Parametri Aggiuntivi</source>
        <translation>Extra Parameters</translation>
    </message>
</context>
<context>
    <name>TestiCalcolo</name>
    <message>
        <source>Completamento: %1%   Tempo stimato: %2 secs.</source>
        <translation>Progress: %1%   Estimated time: %2 secs.</translation>
    </message>
    <message>
        <source>Tempo impiegato/previsto: %1 / %2</source>
        <translation>Time taken/expected: %1 / %2</translation>
    </message>
    <message>
        <source>Tempo impiegato: %1</source>
        <translation>Time taken: %1</translation>
    </message>
</context>
</TS>
