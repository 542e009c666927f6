<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>AlarmSettingInput</name>
    <message>
        <source>%1: &quot;%2&quot; is not a number, so the previous value is kept. Type a number such as %3.</source>
        <translation>%1 : &quot;%2&quot; n&apos;est pas un nombre, la valeur précédente est conservée. Saisissez un nombre comme %3.</translation>
    </message>
</context>
<context>
    <name>App</name>
    <message>
        <source>Cmd+Q</source>
        <comment>App.kFileQuitShortcut</comment>
        <translation>Cmd+Q</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <comment>App.kFileQuit</comment>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <comment>App.kEditClear</comment>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Hydro Voltage [V]</source>
        <comment>App.kInputVoltage</comment>
        <translation>Tension hydro [V]</translation>
    </message>
    <message>
        <source>Output Voltage [V]</source>
        <comment>App.kOutputVoltage</comment>
        <translation>Tension de sortie [V]</translation>
    </message>
    <message>
        <source>Output Current [A]</source>
        <comment>App.kOutputCurrent</comment>
        <translation>Courant de sortie [A]</translation>
    </message>
    <message>
        <source>Converter Temp. [°C]</source>
        <comment>App.kCVTemp</comment>
        <translation>Temp. convert. [°C]</translation>
    </message>
    <message>
        <source>Output Power [W]</source>
        <comment>App.kOutputPower</comment>
        <translation>Puiss. de sortie [W]</translation>
    </message>
    <message>
        <source>Oil Pressure [Bar]</source>
        <comment>App.kPressure</comment>
        <translation>Pression huile [bar]</translation>
    </message>
    <message>
        <source>Pitch correction</source>
        <comment>App.kPitchCorr</comment>
        <translation>Correction calage</translation>
    </message>
    <message>
        <source>Raw stream</source>
        <comment>App.kValuesTab</comment>
        <translation>Flux brut</translation>
    </message>
    <message>
        <source>Values</source>
        <comment>App.kRawDataTab</comment>
        <translation>Valeurs</translation>
    </message>
    <message>
        <source>Serial Port :</source>
        <comment>App.kSerialPort</comment>
        <translation>Port série :</translation>
    </message>
    <message>
        <source>The name of the serial port contains FTxxxx if you use FTDI adapter provided by Orvane
If invisible, you should consider installing FTDI drivers.</source>
        <comment>App.kSerialPortTip</comment>
        <translation>Le nom du port série contient FTxxxx si vous utilisez l&apos;adaptateur FTDI fourni par Orvane
S&apos;il n&apos;apparaît pas, installez les pilotes FTDI.</translation>
    </message>
    <message>
        <source>Connect</source>
        <comment>App.kConnectCaption</comment>
        <translation>Connecter</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <comment>App.kUnconnectCaption</comment>
        <translation>Déconnecter</translation>
    </message>
    <message>
        <source>Drivers…</source>
        <comment>App.kDriverLink</comment>
        <translation>Pilotes…</translation>
    </message>
    <message>
        <source>inactive</source>
        <comment>App.kPitchInactive</comment>
        <translation>inactive</translation>
    </message>
    <message>
        <source>pump active</source>
        <comment>App.kPitchPump</comment>
        <translation>pompage</translation>
    </message>
    <message>
        <source>release</source>
        <comment>App.kPitchRelease</comment>
        <translation>relâche</translation>
    </message>
    <message>
        <source>Address	Parameter	Describtion	Min	Max	Default	Unity	Value	Real value
29	TYPE_PALES	Pitch orientation (0 = classic, 1 = reversed)	0	1	0	-		
30	PRESSION_MAX	Max pressure	0	820	800	0.01 bar		
31	PRESSION_MIN	Min pressure	0	820	50	0.01 bar		
33	TENSION_ALTERNATEUR_HAUTE	Max generator voltage	0	550	500	0.1 V		
34	TENSION_ALTERNATEUR_BASSE	Min generator voltage	0	550	200	0.1 V		
36	RPM_ALTERNATEUR_HAUTE	Max RPM	0	5000	1800	RPM		
35	RPM_ALTERNATEUR_MIN	Min RPM	0	5000	900	RPM		
37	PUISSANCE_ALTERNATEUR_MAX	Max Power	0	600	550	W		
38	PUISSANCE_ALTERNATEUR_MIN	Min Power	0	600	200	W		
32	INCREMENT_PRESSION	Pressure increment	1	200	50	0.01 bar		
39	TEMPS_ACTIVATION_EV_TRES_BASSE_PRESSION	Solenoid aperture time in low pressure	0	100	20	10 ms		
40	TEMPS_ACTIVATION_EV	Solenoid aperture time in high pressure	0	10	2	10 ms		
41	TEMPS_ACTIVATION_EV_DECOLLAGE_JOINT	Solenoid aperture time after pump event	0	20	8	10 ms		
42	TEMPS_ATTENTE	Time between pulses	0	100	30	10 ms		
43	PWM_MOTEUR_NOMINALE	Motor PWM	0	255	80	-		
44	TEMPS_FREQUENCE_NULLE	Delay time before releasing if RPM=0	0	10000	4000	20 ms		
45	TEMPO_MISE_DRAPEAU	Full pumping for feathering before immersion	0	65535	15000	ms		</source>
        <comment>App.kEEPROMHPU</comment>
        <translation>Adresse	Paramètre	Description	Min	Max	Défaut	Unité	Valeur	Valeur réelle
29	TYPE_PALES	Orientation des pales (0 = classique, 1 = inversée)	0	1	0	-		
30	PRESSION_MAX	Pression max.	0	820	800	0.01 bar		
31	PRESSION_MIN	Pression min.	0	820	50	0.01 bar		
33	TENSION_ALTERNATEUR_HAUTE	Tension alternateur max.	0	550	500	0.1 V		
34	TENSION_ALTERNATEUR_BASSE	Tension alternateur min.	0	550	200	0.1 V		
36	RPM_ALTERNATEUR_HAUTE	RPM max.	0	5000	1800	RPM		
35	RPM_ALTERNATEUR_MIN	RPM min.	0	5000	900	RPM		
37	PUISSANCE_ALTERNATEUR_MAX	Puissance max.	0	600	550	W		
38	PUISSANCE_ALTERNATEUR_MIN	Puissance min.	0	600	200	W		
32	INCREMENT_PRESSION	Incrément de pression	1	200	50	0.01 bar		
39	TEMPS_ACTIVATION_EV_TRES_BASSE_PRESSION	Temps d&apos;ouverture de l&apos;électrovanne à basse pression	0	100	20	10 ms		
40	TEMPS_ACTIVATION_EV	Temps d&apos;ouverture de l&apos;électrovanne à haute pression	0	10	2	10 ms		
41	TEMPS_ACTIVATION_EV_DECOLLAGE_JOINT	Temps d&apos;ouverture de l&apos;électrovanne après pompage	0	20	8	10 ms		
42	TEMPS_ATTENTE	Temps entre impulsions	0	100	30	10 ms		
43	PWM_MOTEUR_NOMINALE	PWM moteur	0	255	80	-		
44	TEMPS_FREQUENCE_NULLE	Délai avant relâche si RPM=0	0	10000	4000	20 ms		
45	TEMPO_MISE_DRAPEAU	Pompage complet pour la mise en drapeau avant immersion	0	65535	15000	ms		</translation>
    </message>
    <message>
        <source>Datalog recorded in My Documents folder</source>
        <comment>App.kLogHelptag</comment>
        <translation>Journal enregistré dans le dossier Documents</translation>
    </message>
    <message>
        <source>Max alternator voltage [V]	0
Max RPM	0
Max converter temp. [°C]	0
Max hydraulic pressure[bars]	0
Pitch design mode (0: no pressure=full incidence  ; 1: no pressure = feathered)	0
Overspeed alarm volume (0-100)	100</source>
        <comment>App.kAlarmsTab</comment>
        <translation>Tension alternateur max. [V]	0
RPM max.	0
Temp. convertisseur max. [°C]	0
Pression hydraulique max. [bar]	0
Mode de calage (0 : sans pression = pleine incidence ; 1 : sans pression = drapeau)	0
Volume de l&apos;alarme de survitesse (0-100)	100</translation>
    </message>
    <message>
        <source>Visual alarms</source>
        <comment>App.kAlarmsTitle</comment>
        <translation>Alarmes visuelles</translation>
    </message>
    <message>
        <source>PUMP</source>
        <comment>App.kPump</comment>
        <translation>POMPER</translation>
    </message>
    <message>
        <source>RELEASE</source>
        <comment>App.kRelease</comment>
        <translation>RELÂCHER</translation>
    </message>
    <message>
        <source>FEATHER</source>
        <comment>App.kDrapeau</comment>
        <translation>DRAPEAU</translation>
    </message>
    <message>
        <source>Dossier d&apos;enregistrement des logs :</source>
        <comment>App.kLogPath</comment>
        <translation>Dossier d&apos;enregistrement des logs :</translation>
    </message>
</context>
<context>
    <name>BusHealth</name>
    <message>
        <source>heard %1 s ago</source>
        <translation>entendu il y a %1 s</translation>
    </message>
    <message>
        <source>not heard</source>
        <translation>pas entendu</translation>
    </message>
    <message>
        <source>Converter %1 frames/s, %2 · HPU %3 frames/s, %4 · line %5 % used
Checksum errors %6 · junk bytes %7 · over-long frames %8 · commands sent %9</source>
        <translation>Convertisseur %L1 trames/s, %2 · HPU %L3 trames/s, %4 · ligne occupée à %L5 %
Erreurs de somme de contrôle %6 · octets parasites %7 · trames trop longues %8 · commandes envoyées %9</translation>
    </message>
</context>
<context>
    <name>BusRecorder</name>
    <message>
        <source>The bus capture cannot be written to %1 (%2).</source>
        <translation>La capture du bus ne peut pas être écrite dans %1 (%2).</translation>
    </message>
</context>
<context>
    <name>CaptureFileChooser</name>
    <message>
        <source>Record bus</source>
        <translation>Enregistrer le bus</translation>
    </message>
    <message>
        <source>Bus captures (*.txt);;All files (*)</source>
        <translation>Captures du bus (*.txt);;Tous les fichiers (*)</translation>
    </message>
</context>
<context>
    <name>CaptureFormat</name>
    <message>
        <source>not text (binary bytes in the line)</source>
        <translation>pas du texte (octets binaires dans la ligne)</translation>
    </message>
    <message>
        <source>time %1 is not a whole number of microseconds</source>
        <translation>le temps %1 n&apos;est pas un nombre entier de microsecondes</translation>
    </message>
    <message>
        <source>time goes backwards (%1 us after %2 us)</source>
        <translation>le temps recule (%1 µs après %2 µs)</translation>
    </message>
    <message>
        <source>no direction (rx or tx)</source>
        <translation>pas de sens (rx ou tx)</translation>
    </message>
    <message>
        <source>unknown direction %1 (rx or tx expected)</source>
        <translation>sens %1 inconnu (rx ou tx attendu)</translation>
    </message>
    <message>
        <source>no bytes</source>
        <translation>aucun octet</translation>
    </message>
    <message>
        <source>odd number of hexadecimal digits in %1</source>
        <translation>nombre impair de chiffres hexadécimaux dans %1</translation>
    </message>
    <message>
        <source>%1 is not hexadecimal</source>
        <translation>%1 n&apos;est pas hexadécimal</translation>
    </message>
</context>
<context>
    <name>CaptureReader</name>
    <message>
        <source>cannot be opened (%1)</source>
        <translation>ne peut pas être ouvert (%1)</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>le fichier est vide</translation>
    </message>
    <message>
        <source>the file is too large (%1 MiB, at most %2 MiB)</source>
        <translation>le fichier est trop grand (%1 Mio, au plus %2 Mio)</translation>
    </message>
    <message>
        <source>cannot be read (%1)</source>
        <translation>ne peut pas être lu (%1)</translation>
    </message>
    <message>
        <source>line 1: capture version %1 is not supported (version 1 is)</source>
        <translation>ligne 1 : la version de capture %1 n&apos;est pas prise en charge (la version 1 l&apos;est)</translation>
    </message>
    <message>
        <source>line 1: not a capture (the first line must be &quot;%1&quot;)</source>
        <translation>ligne 1 : pas une capture (la première ligne doit être &quot;%1&quot;)</translation>
    </message>
    <message>
        <source>line %1: cannot be read (%2)</source>
        <translation>ligne %1 : ne peut pas être lue (%2)</translation>
    </message>
    <message>
        <source>line %1: longer than %2 characters</source>
        <translation>ligne %1 : plus de %2 caractères</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1 : %2</translation>
    </message>
</context>
<context>
    <name>CaptureWriter</name>
    <message>
        <source>the size limit leaves no room for the capture</source>
        <translation>la taille limite ne laisse pas de place à la capture</translation>
    </message>
    <message>
        <source>the file or its folder is gone</source>
        <translation>le fichier ou son dossier a disparu</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>le disque est plein</translation>
    </message>
    <message>
        <source>The bus capture reached its size limit of %1 and stopped: %2</source>
        <translation>La capture du bus a atteint sa taille limite de %1 et s&apos;est arrêtée : %2</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 Mio</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <source>The bus capture could not be written and stopped: %1 (%2). Monitoring and logging go on.</source>
        <translation>La capture du bus n&apos;a pas pu être écrite et s&apos;est arrêtée : %1 (%2). La surveillance et le log continuent.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Velmora: monitoring and service tool of the hydro installation</source>
        <translation>Velmora : outil de surveillance et de maintenance de l&apos;installation hydro</translation>
    </message>
    <message>
        <source>Adds the serial device PATH to the end of the device list (a pseudo-terminal, an adapter the system does not list). May be given several times.</source>
        <translation>Ajoute le périphérique série PATH à la fin de la liste des périphériques (un pseudo-terminal, un adaptateur que le système ne liste pas). Peut être donné plusieurs fois.</translation>
    </message>
    <message>
        <source>Adds &quot;Demo installation&quot; at the end of the device list: a simulated converter and HPU inside the program, no adapter needed.</source>
        <translation>Ajoute &quot;Demo installation&quot; à la fin de la liste des périphériques : un convertisseur et un HPU simulés dans le programme, sans adaptateur.</translation>
    </message>
    <message>
        <source>Opens the Trends window with the main window.</source>
        <translation>Ouvre la fenêtre Tendances avec la fenêtre principale.</translation>
    </message>
    <message>
        <source>Records every chunk of bytes received and every command written into the capture FILE, from the start (File &gt; Record bus... does the same from the window).</source>
        <translation>Enregistre chaque paquet d&apos;octets reçus et chaque commande écrite dans le fichier de capture FILE, dès le démarrage (Fichier &gt; Enregistrer le bus... fait de même depuis la fenêtre).</translation>
    </message>
    <message>
        <source>Size at which a capture stops, in bytes or with K, M or G (default and most 1G).</source>
        <translation>Taille à laquelle une capture s&apos;arrête, en octets ou avec K, M ou G (1G par défaut et au plus).</translation>
    </message>
    <message>
        <source>Adds &quot;Replay: &lt;file name&gt;&quot; at the end of the device list: connecting plays the received bytes of the capture FILE through the link.</source>
        <translation>Ajoute &quot;Replay: &lt;nom du fichier&gt;&quot; à la fin de la liste des périphériques : la connexion rejoue les octets reçus du fichier de capture FILE à travers la liaison.</translation>
    </message>
    <message>
        <source>Plays a replay X times faster than it was recorded (default 1, 0.01 to 1000).</source>
        <translation>Rejoue X fois plus vite que l&apos;enregistrement (1 par défaut, de 0.01 à 1000).</translation>
    </message>
    <message>
        <source>--record-limit must be a size from 1K to 1G, such as 500M, not %1</source>
        <translation>--record-limit doit être une taille de 1K à 1G, par exemple 500M, et non %1</translation>
    </message>
    <message>
        <source>--speed must be a number from 0.01 to 1000, not %1</source>
        <translation>--speed doit être un nombre de 0.01 à 1000, et non %1</translation>
    </message>
</context>
<context>
    <name>CsvLogReader</name>
    <message>
        <source>Unable to read the log file &quot;%1&quot;.</source>
        <translation>Impossible de lire le fichier de log &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a CSV log: it holds binary data.</source>
        <translation>&quot;%1&quot; n&apos;est pas un log CSV : il contient des données binaires.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a CSV log of this tool: it does not begin with &quot;LOG ORVANE&quot;.</source>
        <translation>&quot;%1&quot; n&apos;est pas un log CSV de cet outil : il ne commence pas par &quot;LOG ORVANE&quot;.</translation>
    </message>
</context>
<context>
    <name>EepromBackup</name>
    <message>
        <source>The file is larger than 64 KiB: it is not an HPU backup.</source>
        <translation>Le fichier dépasse 64 Kio : ce n&apos;est pas une sauvegarde HPU.</translation>
    </message>
    <message>
        <source>The file is not a well-formed JSON file (%1 at byte %2).</source>
        <translation>Le fichier n&apos;est pas un fichier JSON bien formé (%1 à l&apos;octet %2).</translation>
    </message>
    <message>
        <source>The file holds no list of HPU parameters.</source>
        <translation>Le fichier ne contient aucune liste de paramètres HPU.</translation>
    </message>
    <message>
        <source>The file&apos;s %1 is not a whole number from 0 to 65535.</source>
        <translation>Le champ %1 du fichier n&apos;est pas un nombre entier de 0 à 65535.</translation>
    </message>
    <message>
        <source>The file&apos;s list of HPU parameters is empty.</source>
        <translation>La liste des paramètres HPU du fichier est vide.</translation>
    </message>
    <message>
        <source>Entry %1 of the file</source>
        <translation>L&apos;entrée %1 du fichier</translation>
    </message>
    <message>
        <source>%1 is not a parameter.</source>
        <translation>%1 n&apos;est pas un paramètre.</translation>
    </message>
    <message>
        <source>%1 has no whole-number address.</source>
        <translation>%1 n&apos;a pas d&apos;adresse en nombre entier.</translation>
    </message>
    <message>
        <source>%1: address %2 holds no HPU parameter.</source>
        <translation>%1 : l&apos;adresse %2 ne contient aucun paramètre HPU.</translation>
    </message>
    <message>
        <source>%1: address %2 appears more than once.</source>
        <translation>%1 : l&apos;adresse %2 apparaît plus d&apos;une fois.</translation>
    </message>
    <message>
        <source>%1 (address %2) has no raw value.</source>
        <translation>%1 (adresse %2) n&apos;a pas de valeur brute.</translation>
    </message>
    <message>
        <source>%1 (address %2): %3 is not a whole number.</source>
        <translation>%1 (adresse %2) : %3 n&apos;est pas un nombre entier.</translation>
    </message>
    <message>
        <source>%1 (address %2): %3 lies outside 0 to %4.</source>
        <translation>%1 (adresse %2) : %3 est hors de 0 à %4.</translation>
    </message>
    <message>
        <source>The file %1 cannot be opened: %2</source>
        <translation>Le fichier %1 ne peut pas être ouvert : %2</translation>
    </message>
    <message>
        <source>The file %1 cannot be created: %2</source>
        <translation>Le fichier %1 ne peut pas être créé : %2</translation>
    </message>
    <message>
        <source>The file %1 could not be written: %2</source>
        <translation>Le fichier %1 n&apos;a pas pu être écrit : %2</translation>
    </message>
    <message>
        <source>%1 (address %2) is %3 in &quot;%4&quot;, but address %2 holds %5 in &quot;%6&quot;.</source>
        <translation>%1 (adresse %2) est %3 en &quot;%4&quot;, mais l&apos;adresse %2 contient %5 en &quot;%6&quot;.</translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation>sans nom</translation>
    </message>
</context>
<context>
    <name>EepromValueCheck</name>
    <message>
        <source>(%1 to %2)</source>
        <translation>(%1 à %2)</translation>
    </message>
    <message>
        <source>a whole number without unit %1</source>
        <translation>un nombre entier sans unité %1</translation>
    </message>
    <message>
        <source>a whole number of %1 %2</source>
        <translation>un nombre entier de %1 %2</translation>
    </message>
    <message>
        <source>Nothing was typed. &quot;%1&quot; takes %2.</source>
        <translation>Rien n&apos;a été saisi. &quot;%1&quot; attend %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number. &quot;%2&quot; takes %3.</source>
        <translation>&quot;%1&quot; n&apos;est pas un nombre entier. &quot;%2&quot; attend %3.</translation>
    </message>
    <message>
        <source>%1 cannot be written: an EEPROM value must lie between 0 and %2.</source>
        <translation>%1 ne peut pas être écrit : une valeur EEPROM doit être comprise entre 0 et %2.</translation>
    </message>
    <message>
        <source>%1 cannot be written: &quot;%2&quot; is held in one byte, 0 to 255.</source>
        <translation>%1 ne peut pas être écrit : &quot;%2&quot; tient sur un octet, de 0 à 255.</translation>
    </message>
    <message>
        <source>%1 is outside the range of &quot;%2&quot; (%3 to %4).
Write it to the HPU anyway?</source>
        <translation>%1 est hors de la plage de &quot;%2&quot; (%3 à %4).
L&apos;écrire quand même dans le HPU ?</translation>
    </message>
</context>
<context>
    <name>GaugeGeometry</name>
    <message>
        <source>Speed :     LOW</source>
        <extracomment>The spaces after the colon bring the last word under the low end of the speed scale.</extracomment>
        <translation>Vitesse :    BAS</translation>
    </message>
    <message>
        <source>HIGH</source>
        <translation>HAUT</translation>
    </message>
</context>
<context>
    <name>HpuCommands</name>
    <message>
        <source>pump command pending</source>
        <translation>commande de pompage en attente</translation>
    </message>
    <message>
        <source>release command pending</source>
        <translation>commande de relâche en attente</translation>
    </message>
    <message>
        <source>EEPROM read pending</source>
        <translation>lecture EEPROM en attente</translation>
    </message>
    <message>
        <source>EEPROM write pending</source>
        <translation>écriture EEPROM en attente</translation>
    </message>
    <message>
        <source>command pending</source>
        <translation>commande en attente</translation>
    </message>
</context>
<context>
    <name>HpuEepromEditor</name>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>The HPU already holds the file&apos;s values: nothing to write.</source>
        <translation>Le HPU contient déjà les valeurs du fichier : rien à écrire.</translation>
    </message>
    <message>
        <source>  %1: %2 -&gt; %3</source>
        <translation>  %1 : %2 -&gt; %3</translation>
    </message>
    <message>
        <source>  %1: %2 is outside %3 to %4</source>
        <translation>  %1 : %2 est hors de %3 à %4</translation>
    </message>
    <message>
        <source>Write 1 parameter from the file to the HPU?</source>
        <translation>Écrire 1 paramètre du fichier dans le HPU ?</translation>
    </message>
    <message>
        <source>Write %1 parameters from the file to the HPU?</source>
        <translation>Écrire %1 paramètres du fichier dans le HPU ?</translation>
    </message>
    <message>
        <source>Outside the parameter&apos;s range:</source>
        <translation>Hors de la plage du paramètre :</translation>
    </message>
    <message>
        <source>The file was saved from HPU board %1; this HPU is board %2.</source>
        <translation>Le fichier a été enregistré depuis la carte HPU %1 ; ce HPU est la carte %2.</translation>
    </message>
    <message>
        <source>The file was saved from HPU software version %1; this HPU runs %2.</source>
        <translation>Le fichier a été enregistré depuis la version logicielle HPU %1 ; ce HPU exécute la %2.</translation>
    </message>
    <message>
        <source>  %1: HPU %2, file %3</source>
        <translation>  %1 : HPU %2, fichier %3</translation>
    </message>
    <message>
        <source>1 parameter written</source>
        <translation>1 paramètre écrit</translation>
    </message>
    <message>
        <source>%1 parameters written</source>
        <translation>%1 paramètres écrits</translation>
    </message>
    <message>
        <source>%1, all verified</source>
        <translation>%1, tous vérifiés</translation>
    </message>
    <message>
        <source>%1; these differ from the file:</source>
        <translation>%1 ; ceux-ci diffèrent du fichier :</translation>
    </message>
    <message>
        <source>the connection was lost</source>
        <translation>la connexion a été perdue</translation>
    </message>
    <message>
        <source>the HPU did not answer</source>
        <translation>le HPU n&apos;a pas répondu</translation>
    </message>
    <message>
        <source>Waiting for the connection…</source>
        <translation>En attente de la connexion…</translation>
    </message>
    <message>
        <source>The HPU&apos;s answer was incomplete: asking again…</source>
        <translation>La réponse du HPU était incomplète : nouvelle demande…</translation>
    </message>
    <message>
        <source>Reading the HPU&apos;s EEPROM…</source>
        <translation>Lecture de l&apos;EEPROM du HPU…</translation>
    </message>
    <message>
        <source>Cancelling: reading &quot;%1&quot; back…</source>
        <translation>Annulation : relecture de &quot;%1&quot;…</translation>
    </message>
    <message>
        <source>Reading &quot;%1&quot; back…</source>
        <translation>Relecture de &quot;%1&quot;…</translation>
    </message>
    <message>
        <source>Waiting for the connection: &quot;%1&quot; is not written yet.</source>
        <translation>En attente de la connexion : &quot;%1&quot; n&apos;est pas encore écrit.</translation>
    </message>
    <message>
        <source>Writing &quot;%1&quot;…</source>
        <translation>Écriture de &quot;%1&quot;…</translation>
    </message>
    <message>
        <source>the HPU&apos;s board number changed from %1 to %2</source>
        <translation>le numéro de carte du HPU est passé de %1 à %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; written and read back.</source>
        <translation>&quot;%1&quot; écrit et relu.</translation>
    </message>
    <message>
        <source>Cancelled: &quot;%1&quot; was written and verified.</source>
        <translation>Annulé : &quot;%1&quot; a été écrit et vérifié.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; written, but the HPU holds %2.</source>
        <translation>&quot;%1&quot; écrit, mais le HPU contient %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; not written.</source>
        <translation>&quot;%1&quot; non écrit.</translation>
    </message>
    <message>
        <source>Cancelled: &quot;%1&quot; was not written.</source>
        <translation>Annulé : &quot;%1&quot; n&apos;a pas été écrit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; not confirmed.</source>
        <translation>&quot;%1&quot; non confirmé.</translation>
    </message>
    <message>
        <source>Cancelled: &quot;%1&quot; is not confirmed: the HPU did not answer the read-back. Close and reopen the window to read what the HPU holds.</source>
        <translation>Annulé : &quot;%1&quot; n&apos;est pas confirmé : le HPU n&apos;a pas répondu à la relecture. Fermez et rouvrez la fenêtre pour lire ce que contient le HPU.</translation>
    </message>
    <message>
        <source>The file does not say which HPU board it was saved from; this HPU is board %1.</source>
        <translation>Le fichier ne dit pas de quelle carte HPU il provient ; ce HPU est la carte %1.</translation>
    </message>
    <message>
        <source>The file does not say which HPU software version it was saved from; this HPU runs %1.</source>
        <translation>Le fichier ne dit pas de quelle version logicielle du HPU il provient ; ce HPU a la version %1.</translation>
    </message>
    <message>
        <source>Restore cancelled.</source>
        <translation>Restauration annulée.</translation>
    </message>
    <message>
        <source>Restore stopped: %1.</source>
        <translation>Restauration arrêtée : %1.</translation>
    </message>
    <message>
        <source>Written and read back: %1.</source>
        <translation>Écrits et relus : %1.</translation>
    </message>
    <message>
        <source>Written, but the HPU holds another value: %1.</source>
        <translation>Écrits, mais le HPU contient une autre valeur : %1.</translation>
    </message>
    <message>
        <source>Not confirmed: &quot;%1&quot; (close and reopen the window to read what the HPU holds).</source>
        <translation>Non confirmé : &quot;%1&quot; (fermez et rouvrez la fenêtre pour lire ce que contient le HPU).</translation>
    </message>
    <message>
        <source>Not written: %1.</source>
        <translation>Non écrits : %1.</translation>
    </message>
</context>
<context>
    <name>MainMenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cou&amp;per</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <source>Alarmes</source>
        <translation>Alarmes</translation>
    </message>
    <message>
        <source>HPU</source>
        <translation>HPU</translation>
    </message>
    <message>
        <source>EEPROM</source>
        <translation>EEPROM</translation>
    </message>
    <message>
        <source>Open log…</source>
        <translation>Ouvrir un journal…</translation>
    </message>
    <message>
        <source>&amp;Record bus…</source>
        <translation>&amp;Enregistrer le bus…</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>Trends</source>
        <translation>Tendances</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>The serial connection could not be opened.</source>
        <translation>La connexion série n&apos;a pas pu être ouverte.</translation>
    </message>
    <message>
        <source>A serial port error occurred.</source>
        <translation>Une erreur est survenue sur le port série.</translation>
    </message>
    <message>
        <source>The alarm settings could not be saved: the application&apos;s resource folder cannot be found.</source>
        <translation>Les réglages d&apos;alarme n&apos;ont pas pu être enregistrés : le dossier de ressources de l&apos;application est introuvable.</translation>
    </message>
    <message>
        <source>The alarm settings could not be saved to %1: %2</source>
        <translation>Les réglages d&apos;alarme n&apos;ont pas pu être enregistrés dans %1 : %2</translation>
    </message>
    <message>
        <source>Unable to write to Log file. Make sure another instance of the app is not opened</source>
        <translation>Impossible d&apos;écrire dans le fichier de log. Vérifiez qu&apos;une autre instance de l&apos;application n&apos;est pas ouverte</translation>
    </message>
    <message>
        <source>%1 cannot be written to; the log goes on in %2.</source>
        <translation>Impossible d&apos;écrire dans %1 ; le log continue dans %2.</translation>
    </message>
</context>
<context>
    <name>Monitor</name>
    <message>
        <source>Connection lost – reconnecting to %1…</source>
        <translation>Connexion perdue – reconnexion à %1…</translation>
    </message>
</context>
<context>
    <name>ProductionView</name>
    <message>
        <source>◀ Previous month</source>
        <translation>◀ Mois précédent</translation>
    </message>
    <message>
        <source>Next month ▶</source>
        <translation>Mois suivant ▶</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Exporter en CSV…</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>Énergie</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Jour</translation>
    </message>
    <message>
        <source>Energy [kWh]</source>
        <translation>Énergie [kWh]</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>inconnue</translation>
    </message>
    <message>
        <source>%1 kWh over %2 h measured</source>
        <translation>%1 kWh sur %2 h mesurées</translation>
    </message>
    <message>
        <source>Today: %1 kWh</source>
        <translation>Aujourd&apos;hui : %1 kWh</translation>
    </message>
    <message>
        <source>Today: not known</source>
        <translation>Aujourd&apos;hui : inconnue</translation>
    </message>
    <message>
        <source>Today: …</source>
        <translation>Aujourd&apos;hui : …</translation>
    </message>
    <message>
        <source>%1: %2 kWh</source>
        <translation>%1 : %2 kWh</translation>
    </message>
    <message>
        <source>%1: not known</source>
        <translation>%1 : inconnue</translation>
    </message>
    <message>
        <source>%1: …</source>
        <translation>%1 : …</translation>
    </message>
    <message>
        <source>No log in %1</source>
        <translation>Aucun log dans %1</translation>
    </message>
    <message>
        <source>Reading the logs of %1…</source>
        <translation>Lecture des logs de %1…</translation>
    </message>
    <message>
        <source>Logs of %1: %2 read</source>
        <translation>Logs de %1 : %2 lus</translation>
    </message>
    <message>
        <source>%1 not read</source>
        <translation>%1 non lus</translation>
    </message>
</context>
<context>
    <name>ReplaySerialPort</name>
    <message>
        <source>The capture %1 cannot be replayed: %2</source>
        <translation>La capture %1 ne peut pas être rejouée : %2</translation>
    </message>
</context>
<context>
    <name>TrendChannel</name>
    <message>
        <source>Input voltage</source>
        <translation>Tension d&apos;entrée</translation>
    </message>
    <message>
        <source>Output voltage</source>
        <translation>Tension de sortie</translation>
    </message>
    <message>
        <source>Output current</source>
        <translation>Courant de sortie</translation>
    </message>
    <message>
        <source>Output power</source>
        <translation>Puissance de sortie</translation>
    </message>
    <message>
        <source>Converter temperature</source>
        <translation>Température du convertisseur</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>Oil pressure</source>
        <translation>Pression d&apos;huile</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>W</source>
        <translation>W</translation>
    </message>
    <message>
        <source>°C</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>rpm</source>
        <translation>tr/min</translation>
    </message>
    <message>
        <source>bar</source>
        <translation>bar</translation>
    </message>
</context>
<context>
    <name>TrendChart</name>
    <message>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
</context>
<context>
    <name>TrendFileChooser</name>
    <message>
        <source>Open log</source>
        <translation>Ouvrir un journal</translation>
    </message>
    <message>
        <source>CSV logs (*.csv);;All files (*)</source>
        <translation>Logs CSV (*.csv);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
</context>
<context>
    <name>TrendsWindow</name>
    <message>
        <source>Trends</source>
        <translation>Tendances</translation>
    </message>
    <message>
        <source>Last %1 min</source>
        <translation>Dernières %1 min</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>En direct</translation>
    </message>
    <message>
        <source>Open log…</source>
        <translation>Ouvrir un journal…</translation>
    </message>
    <message>
        <source>◀ Previous day</source>
        <translation>◀ Jour précédent</translation>
    </message>
    <message>
        <source>Next day ▶</source>
        <translation>Jour suivant ▶</translation>
    </message>
    <message>
        <source>Export PNG…</source>
        <translation>Exporter en PNG…</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Exporter en CSV…</translation>
    </message>
    <message>
        <source>%1  %2: %3 %4</source>
        <translation>%1  %2 : %3 %4</translation>
    </message>
    <message>
        <source>%1  %2: not known</source>
        <translation>%1  %2 : inconnue</translation>
    </message>
    <message>
        <source>1 line skipped</source>
        <translation>1 ligne ignorée</translation>
    </message>
    <message>
        <source>%1 lines skipped</source>
        <translation>%1 lignes ignorées</translation>
    </message>
    <message>
        <source>Unable to write &quot;%1&quot;.</source>
        <translation>Impossible d&apos;écrire &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>%1: %2 seconds</source>
        <translation>%1 : %2 secondes</translation>
    </message>
    <message>
        <source>%1: no measurements</source>
        <translation>%1 : aucune mesure</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>Lecture de %1…</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Image PNG (*.png)</translation>
    </message>
    <message>
        <source>CSV file (*.csv)</source>
        <translation>Fichier CSV (*.csv)</translation>
    </message>
    <message>
        <source>Curves</source>
        <translation>Courbes</translation>
    </message>
    <message>
        <source>Production</source>
        <translation>Production</translation>
    </message>
</context>
<context>
    <name>VersionText</name>
    <message>
        <source>   Velmora developers</source>
        <translation>   développeurs de Velmora</translation>
    </message>
    <message>
        <source>build : V</source>
        <translation>version : V</translation>
    </message>
</context>
<context>
    <name>WindowAlarms</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>WindowHPU</name>
    <message>
        <source>HPU EEPROM</source>
        <translation>EEPROM du HPU</translation>
    </message>
    <message>
        <source>HPU backup (*.json)</source>
        <translation>Sauvegarde HPU (*.json)</translation>
    </message>
    <message>
        <source>Save HPU backup</source>
        <translation>Enregistrer la sauvegarde HPU</translation>
    </message>
    <message>
        <source>Load HPU backup</source>
        <translation>Charger une sauvegarde HPU</translation>
    </message>
    <message>
        <source>Save to file…</source>
        <translation>Enregistrer…</translation>
    </message>
    <message>
        <source>Load from file…</source>
        <translation>Charger…</translation>
    </message>
    <message>
        <source>Write differences</source>
        <translation>Écrire les écarts</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>File value</source>
        <translation>Valeur fichier</translation>
    </message>
    <message>
        <source>%1
Nothing was sent to the HPU.</source>
        <translation>%1
Rien n&apos;a été envoyé au HPU.</translation>
    </message>
</context>
<context>
    <name>WindowMain</name>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>RPM</source>
        <translation>tr/min</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>timer emission (ms)</source>
        <translation>délai émission (ms)</translation>
    </message>
</context>
<context>
    <name>WindowPreferences</name>
    <message>
        <source>Folder Selection</source>
        <translation>Choisir le dossier</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Cancel Button</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Title bar text</source>
        <translation>Dossier des logs</translation>
    </message>
    <message>
        <source>Select Log Folder</source>
        <translation>Choisissez le dossier des logs</translation>
    </message>
    <message>
        <source>Unable to save the log folder to Log_Folder.txt. The logs go on in the previous folder.</source>
        <translation>Impossible d&apos;enregistrer le dossier des logs dans Log_Folder.txt. Les logs continuent dans le dossier précédent.</translation>
    </message>
</context>
</TS>
