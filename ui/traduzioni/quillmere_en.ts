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
    <name>CEsportazione</name>
    <message>
        <source>Un&apos;immagine di %1 x %2 pixel è più grande di ciò che un solo disegno tiene (al più %3 pixel, %4 per lato). Un manifesto così grande si disegna a tessere con:

quillmere-plan poster PARAMETRI CARTELLA --size %1x%2 --tiles CxR</source>
        <translation>A picture of %1 x %2 pixels is larger than one drawing holds (at most %3 pixels, %4 a side). A poster that large is drawn in tiles with:

quillmere-plan poster PARAMS DIR --size %1x%2 --tiles CxR</translation>
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
    <message>
        <source>&amp;Esporta immagine...</source>
        <translation>&amp;Export Image...</translation>
    </message>
    <message>
        <source>Disegna l&apos;immagine a una dimensione a scelta e la salva</source>
        <translation>Draw the picture at a size of your choice and save it</translation>
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
    <name>TEsporta</name>
    <message>
        <source>Esporta immagine</source>
        <translation>Export Image</translation>
    </message>
    <message>
        <source>Larghezza:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Altezza:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Nome dell&apos;immagine esportata ?</source>
        <translation>Name of the exported picture?</translation>
    </message>
    <message>
        <source>La finestra dell&apos;immagine esportata andrebbe oltre %1 dall&apos;origine.</source>
        <translation>The window of the exported picture would reach beyond %1 from the origin.</translation>
    </message>
    <message>
        <source>Esportazione di %1 (%2 x %3)...</source>
        <translation>Exporting %1 (%2 x %3)...</translation>
    </message>
    <message>
        <source>Ferma</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Impossibile esportare l&apos;immagine %1: %2</source>
        <translation>Cannot export the picture %1: %2</translation>
    </message>
    <message>
        <source>Scrittura di %1...</source>
        <translation>Writing %1...</translation>
    </message>
    <message>
        <source>Impossibile salvare l&apos;immagine esportata %1: %2</source>
        <translation>Cannot save the exported picture %1: %2</translation>
    </message>
    <message>
        <source>Tutto ciò che il documento mostra, e altro del piano ai lati dove le proporzioni lo chiedono, disegnato a questa dimensione:</source>
        <translation>All that the document shows, and more of the plane at the sides where the proportions ask for it, drawn at this size:</translation>
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
    <name>TNavigazione</name>
    <message>
        <source>Fasce</source>
        <translation>Bands</translation>
    </message>
    <message>
        <source>Oceano</source>
        <translation>Ocean</translation>
    </message>
    <message>
        <source>Fuoco</source>
        <translation>Fire</translation>
    </message>
    <message>
        <source>Aurora</source>
        <translation>Aurora</translation>
    </message>
    <message>
        <source>Grafite</source>
        <translation>Graphite</translation>
    </message>
    <message>
        <source>&amp;Indietro</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>Torna alle impostazioni disegnate prima</source>
        <translation>Go back to the settings drawn before</translation>
    </message>
    <message>
        <source>&amp;Avanti</source>
        <translation>&amp;Forward</translation>
    </message>
    <message>
        <source>Va alle impostazioni disegnate dopo</source>
        <translation>Go forward to the settings drawn after</translation>
    </message>
    <message>
        <source>Avvi&amp;cina</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>Ingrandisce due volte attorno al centro</source>
        <translation>Zoom in twice as close, about the centre</translation>
    </message>
    <message>
        <source>Allo&amp;ntana</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>Rimpicciolisce due volte attorno al centro</source>
        <translation>Zoom out twice as far, about the centre</translation>
    </message>
    <message>
        <source>Sposta a &amp;sinistra</source>
        <translation>Move &amp;Left</translation>
    </message>
    <message>
        <source>Sposta la finestra di un quarto della larghezza</source>
        <translation>Move the window by a quarter of its width</translation>
    </message>
    <message>
        <source>Sposta a &amp;destra</source>
        <translation>Move &amp;Right</translation>
    </message>
    <message>
        <source>Sposta in al&amp;to</source>
        <translation>Move &amp;Up</translation>
    </message>
    <message>
        <source>Sposta la finestra di un quarto dell&apos;altezza</source>
        <translation>Move the window by a quarter of its height</translation>
    </message>
    <message>
        <source>Sposta in &amp;basso</source>
        <translation>Move &amp;Down</translation>
    </message>
    <message>
        <source>&amp;Vista</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Spostarsi sul piano e scegliere i colori</source>
        <translation>Move over the plane and choose the colours</translation>
    </message>
    <message>
        <source>Colore &amp;esterno</source>
        <translation>&amp;Exterior Colour</translation>
    </message>
    <message>
        <source>Navigazione</source>
        <translation>Navigation</translation>
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
