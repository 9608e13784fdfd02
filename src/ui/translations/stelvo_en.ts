<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>stelvo::BackgroundTask</name>
    <message>
        <source>%1: wird abgebrochen</source>
        <translation>%1: cancelling</translation>
    </message>
    <message>
        <source>%1: noch %2</source>
        <translation>%1: %2 left</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Spur %1 von %2</source>
        <translation>trail %1 of %2</translation>
    </message>
    <message>
        <source>Wiederkehr %1 von %2</source>
        <translation>return %1 of %2</translation>
    </message>
    <message>
        <source>Jahr %1</source>
        <translation>year %1</translation>
    </message>
    <message>
        <source>%1, %2: noch %3</source>
        <translation>%1, %2: %3 left</translation>
    </message>
</context>
<context>
    <name>stelvo::ForecastControls</name>
    <message>
        <source>&amp;Vorhersage berechnen</source>
        <translation>&amp;Compute forecast</translation>
    </message>
    <message>
        <source>Komet</source>
        <translation>Comet</translation>
    </message>
    <message>
        <source>Spuren der Jahre</source>
        <translation>Trails of the years</translation>
    </message>
    <message>
        <source>Teilchen je Spur</source>
        <translation>Particles per trail</translation>
    </message>
    <message>
        <source>Vorhersage</source>
        <translation>Forecast</translation>
    </message>
    <message>
        <source>Vorhersage für</source>
        <translation>Forecast for</translation>
    </message>
</context>
<context>
    <name>stelvo::StreamControls</name>
    <message>
        <source>Strom</source>
        <translation>Stream</translation>
    </message>
    <message>
        <source>Komet</source>
        <translation>Comet</translation>
    </message>
    <message>
        <source>Freisetzung in den Jahren</source>
        <translation>Released in the years</translation>
    </message>
    <message>
        <source>Strom in den Jahren</source>
        <translation>Stream in the years</translation>
    </message>
    <message>
        <source>Teilchen je Wiederkehr</source>
        <translation>Particles per return</translation>
    </message>
    <message>
        <source>Fernschritt (Tage)</source>
        <translation>Far step (days)</translation>
    </message>
    <message>
        <source>Schrittweite bis %1 Jahre vor den Jahren des Stroms; danach %2 Tag</source>
        <translation>Step until %1 years before the stream's years; %2 day from then on</translation>
    </message>
    <message>
        <source>&amp;Strom berechnen</source>
        <translation>Compute &amp;stream</translation>
    </message>
</context>
<context>
    <name>stelvo::TForm_Main</name>
    <message>
        <source>ueber Bahn</source>
        <translation>along orbit</translation>
    </message>
    <message>
        <source>Quasipunkt</source>
        <translation>quasi point</translation>
    </message>
    <message>
        <source>leicht verstreut</source>
        <translation>lightly scattered</translation>
    </message>
    <message>
        <source>staerker verstreut</source>
        <translation>more scattered</translation>
    </message>
    <message>
        <source>Son</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>Mer</source>
        <translation>Mer</translation>
    </message>
    <message>
        <source>Ven</source>
        <translation>Ven</translation>
    </message>
    <message>
        <source>Erd</source>
        <translation>Earth</translation>
    </message>
    <message>
        <source>Mar</source>
        <translation>Mar</translation>
    </message>
    <message>
        <source>Jup</source>
        <translation>Jup</translation>
    </message>
    <message>
        <source>Sat</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>Ura</source>
        <translation>Ura</translation>
    </message>
    <message>
        <source>Nep</source>
        <translation>Nep</translation>
    </message>
    <message>
        <source>Stelvo.EXE:</source>
        <translation>Stelvo.EXE:</translation>
    </message>
    <message>
        <source>Ein numerischer Integrator des Sonnensystems und weiterer &apos;masseloser&apos; Teilchen für Windows Rechner.</source>
        <translation>A numerical integrator of the solar system and of further &apos;massless&apos; particles for Windows computers.</translation>
    </message>
    <message>
        <source>Das Sonnensystem, bestehend aus Sonne, Venus, EMB (Erde-Mond-Baryzentrum), Mars, Jupiter, Saturn, Uranus, Neptun und</source>
        <translation>The solar system with the Sun, Venus, EMB (Earth-Moon barycentre), Mars, Jupiter, Saturn, Uranus, Neptune and</translation>
    </message>
    <message>
        <source>Pluto wird jeweils ab 1.1.2000 integriert.</source>
        <translation>Pluto is always integrated from 1 January 2000 on.</translation>
    </message>
    <message>
        <source>Es stehen etwa 250 Kometen mit elliptischen Bahnen (P&lt;1000 Jahre) zur Verfügung. Von jedem Kometen ist die jüngste</source>
        <translation>About 250 comets with elliptic orbits (P&lt;1000 years) are available. For each comet the most recent</translation>
    </message>
    <message>
        <source>Perihelpassage (vor dem Jahr 2002) genommen worden.</source>
        <translation>perihelion passage (before the year 2002) has been taken.</translation>
    </message>
    <message>
        <source>Bedienung:</source>
        <translation>How to use:</translation>
    </message>
    <message>
        <source>1. Gewünschten Kometen auswählen.</source>
        <translation>1. Choose the comet you want.</translation>
    </message>
    <message>
        <source>2. Anzahl Teilchen auswählen.</source>
        <translation>2. Choose the number of particles.</translation>
    </message>
    <message>
        <source>3. Streuung der Partikel zu Beginn der Integration auswählen.</source>
        <translation>3. Choose how the particles are spread at the start of the integration.</translation>
    </message>
    <message>
        <source>4. Schrittweite auswählen.</source>
        <translation>4. Choose the step size.</translation>
    </message>
    <message>
        <source>5. Start-Button anclicken.</source>
        <translation>5. Click the Start button.</translation>
    </message>
    <message>
        <source>6. Zoomfaktor und Inklination können jederzeit geändert werden.</source>
        <translation>6. Zoom factor and inclination can be changed at any time.</translation>
    </message>
    <message>
        <source>7. Stop-Button anclicken für neue Auswahl. Die Integration beginnt dann wieder von vorne.</source>
        <translation>7. Click the Stop button to choose anew. The integration then starts again from the beginning.</translation>
    </message>
    <message>
        <source>8. Verlassen des Programmes mit Exit.</source>
        <translation>8. Leave the program with Exit.</translation>
    </message>
    <message>
        <source>Diese Erklärung kann jederzeit ein- oder ausgeblendet werden.</source>
        <translation>This explanation can be shown or hidden at any time.</translation>
    </message>
    <message>
        <source>Zoomfaktor</source>
        <translation>Zoom factor</translation>
    </message>
    <message>
        <source>Zoomfaktor (%1)</source>
        <translation>Zoom factor (%1)</translation>
    </message>
    <message>
        <source>&amp;Start der Simulation</source>
        <translation>&amp;Start simulation</translation>
    </message>
    <message>
        <source>S&amp;top der Simulation</source>
        <translation>S&amp;top simulation</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Erklärung ein/aus</source>
        <translation>&amp;Explanation on/off</translation>
    </message>
    <message>
        <source>Simulierte Zeit</source>
        <translation>Simulated time</translation>
    </message>
    <message>
        <source>Jahre</source>
        <translation>years</translation>
    </message>
    <message>
        <source>Anzahl Partikel</source>
        <translation>Particle count</translation>
    </message>
    <message>
        <source>Startverteilung</source>
        <translation>Initial spread</translation>
    </message>
    <message>
        <source>Schrittweite (Tg)</source>
        <translation>Step size (days)</translation>
    </message>
    <message>
        <source>Kelvaro &amp;Hilfe</source>
        <translation>Kelvaro &amp;Help</translation>
    </message>
    <message>
        <source>Meteorströme</source>
        <translation>Meteor showers</translation>
    </message>
</context>
<context>
    <name>stelvo::TForm_Showers</name>
    <message>
        <source>λ☉ (°)</source>
        <translation>λ☉ (°)</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>RA (°)</source>
        <translation>RA (°)</translation>
    </message>
    <message>
        <source>Dek (°)</source>
        <translation>Dec (°)</translation>
    </message>
    <message>
        <source>v_g (km/s)</source>
        <translation>v_g (km/s)</translation>
    </message>
    <message>
        <source>Anzahl</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Begegnungen</source>
        <translation>Encounters</translation>
    </message>
    <message>
        <source>Rektaszension (°)</source>
        <translation>Right ascension (°)</translation>
    </message>
    <message>
        <source>Deklination (°)</source>
        <translation>Declination (°)</translation>
    </message>
    <message>
        <source>Sonnenlänge λ☉ (°)</source>
        <translation>Solar longitude λ☉ (°)</translation>
    </message>
    <message>
        <source>Durchgänge pro Grad</source>
        <translation>Crossings per degree</translation>
    </message>
    <message>
        <source>%1 Knotendurchgänge in %2 Jahren, davon %3 nahe der Erdbahn (|Δr| &lt; %4 AE), %5 Begegnungen mit der Erde (&lt; %6 AE)</source>
        <translation>%1 node crossings in %2 years, %3 of them near the Earth&apos;s orbit (|Δr| &lt; %4 AU), %5 encounters with the Earth (&lt; %6 AU)</translation>
    </message>
    <message>
        <source>Meteorströme</source>
        <translation>Meteor showers</translation>
    </message>
    <message>
        <source>Ströme</source>
        <translation>Showers</translation>
    </message>
    <message>
        <source>&amp;Kopieren</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Spur</source>
        <translation>Trail</translation>
    </message>
    <message>
        <source>Maximum (UTC)</source>
        <translation>Peak (UTC)</translation>
    </message>
    <message>
        <source>Abstand (AE)</source>
        <translation>Miss (AU)</translation>
    </message>
    <message>
        <source>Teilchen</source>
        <translation>Particles</translation>
    </message>
    <message>
        <source>Jahr</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>Keine Vorhersage</source>
        <translation>No forecast</translation>
    </message>
    <message>
        <source>Vorhersage</source>
        <translation>Forecast</translation>
    </message>
    <message>
        <source>ZHR</source>
        <translation>ZHR</translation>
    </message>
    <message>
        <source>Dauer (min)</source>
        <translation>Duration (min)</translation>
    </message>
    <message>
        <source>± Maximum (min)</source>
        <translation>± peak (min)</translation>
    </message>
    <message>
        <source>ZHR %1, %2 min</source>
        <translation>ZHR %1, %2 min</translation>
    </message>
    <message>
        <source>Sichtbare Meteoroide pro Jahr und Grad</source>
        <translation>Visible meteoroids per year and degree</translation>
    </message>
    <message>
        <source>%1°, Halbwertsbreite %2°</source>
        <translation>%1°, FWHM %2°</translation>
    </message>
    <message>
        <source>Noch kein Strom berechnet: Teilchen aus jeder Wiederkehr des Kometen in den gewählten Jahren, bis in die Jahre des Stroms integriert.</source>
        <translation>No stream computed yet: particles from every return of the comet in the chosen years, integrated into the stream's years.</translation>
    </message>
    <message>
        <source>%1 Wiederkehren %2 bis %3 mit %4 Teilchen: %5 Knotendurchgänge in den Jahren %6 bis %7, davon %8 nahe der Erdbahn (|Δr| &lt; %9 AE)</source>
        <translation>%1 returns %2 to %3 with %4 particles: %5 node crossings in the years %6 to %7, %8 of them near the Earth's orbit (|Δr| &lt; %9 AU)</translation>
    </message>
    <message>
        <source>Strom bei λ☉ %1°: Maximum bei %2° mit %3 sichtbaren Meteoroiden pro Jahr und Grad, Halbwertsbreite %4°</source>
        <translation>Shower at λ☉ %1°: peak at %2° with %3 visible meteoroids per year and degree, FWHM %4°</translation>
    </message>
    <message>
        <source>Strom aus allen Wiederkehren</source>
        <translation>Stream of all returns</translation>
    </message>
</context>
<context>
    <name>stelvo::EncounterPanel</name>
    <message>
        <source>Zeit (UTC)</source>
        <translation>Time (UTC)</translation>
    </message>
    <message>
        <source>ZHR</source>
        <translation>ZHR</translation>
    </message>
    <message>
        <source>ZHR %1 ± %2, Halbwertsbreite %3 min, Maximum ± %4 min</source>
        <translation>ZHR %1 ± %2, FWHM %3 min, peak ± %4 min</translation>
    </message>
    <message>
        <source>Kein Profil</source>
        <translation>No profile</translation>
    </message>
    <message>
        <source>rD − rE (AE)</source>
        <translation>rD − rE (AU)</translation>
    </message>
    <message>
        <source>Spur %1, Maximum %2 UTC, %3 Teilchen nahe der Erde</source>
        <translation>Trail %1, peak %2 UTC, %3 particles near the Earth</translation>
    </message>
    <message>
        <source>Erde</source>
        <translation>Earth</translation>
    </message>
    <message>
        <source>Keine Teilchen nahe der Erde</source>
        <translation>No particles near the Earth</translation>
    </message>
    <message>
        <source>Sichtbarkeit am Maximum, %1 UTC</source>
        <translation>Visibility at the peak, %1 UTC</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Dämmerung (Sonne über −12°)</source>
        <translation>Twilight (Sun above −12°)</translation>
    </message>
    <message>
        <source>dunkel, Radiant unter dem Horizont</source>
        <translation>dark, radiant below the horizon</translation>
    </message>
    <message>
        <source>dunkel, Radiant oben (heller: höher)</source>
        <translation>dark, radiant up (brighter: higher)</translation>
    </message>
    <message>
        <source>Sonne im Zenit</source>
        <translation>Sun overhead</translation>
    </message>
    <message>
        <source>Radiant im Zenit</source>
        <translation>Radiant overhead</translation>
    </message>
    <message>
        <source>Spur %1 im Jahr %2: Maximum %3 UTC, λ☉ %4°, ZHR %5, Dauer (Halbwertsbreite) %6 min, Abstand %7 AE, Radiant RA %8° Dek %9°</source>
        <translation>Trail %1 in %2: peak %3 UTC, λ☉ %4°, ZHR %5, duration (FWHM) %6 min, miss %7 AU, radiant RA %8° Dec %9°</translation>
    </message>
    <message>
        <source>Eine Begegnung in der Tabelle oder auf der Zeitleiste wählen: ihr Profil, ihre Spur und wo sie zu sehen ist.</source>
        <translation>Pick an encounter in the table or on the timeline: its profile, its trail and where it can be seen.</translation>
    </message>
</context>
</TS>
