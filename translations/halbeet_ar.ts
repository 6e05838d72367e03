<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar" sourcelanguage="en">
<context>
    <name>About</name>
    <message>
        <source>About</source>
        <comment>caption</comment>
        <translation>حول اللعبة</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <comment>Button1</comment>
        <translation>&amp;موافق</translation>
    </message>
    <message>
        <source>Halbeet</source>
        <comment>gameName</comment>
        <translation>الهلبيط</translation>
    </message>
    <message>
        <source>Version  2.0</source>
        <comment>version</comment>
        <translation>الإصدار  2.0</translation>
    </message>
</context>
<context>
    <name>Access</name>
    <message>
        <source>clubs</source>
        <comment>suits[1]</comment>
        <translation>السباتي</translation>
    </message>
    <message>
        <source>spades</source>
        <comment>suits[2]</comment>
        <translation>البستوني</translation>
    </message>
    <message>
        <source>hearts</source>
        <comment>suits[3]</comment>
        <translation>الكبة</translation>
    </message>
    <message>
        <source>diamonds</source>
        <comment>suits[4]</comment>
        <translation>الديناري</translation>
    </message>
    <message>
        <source>Ace</source>
        <comment>ranks[1]</comment>
        <translation>الآص</translation>
    </message>
    <message>
        <source>2</source>
        <comment>ranks[2]</comment>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <comment>ranks[3]</comment>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <comment>ranks[4]</comment>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <comment>ranks[5]</comment>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <comment>ranks[6]</comment>
        <translation>6</translation>
    </message>
    <message>
        <source>7</source>
        <comment>ranks[7]</comment>
        <translation>7</translation>
    </message>
    <message>
        <source>8</source>
        <comment>ranks[8]</comment>
        <translation>8</translation>
    </message>
    <message>
        <source>9</source>
        <comment>ranks[9]</comment>
        <translation>9</translation>
    </message>
    <message>
        <source>10</source>
        <comment>ranks[10]</comment>
        <translation>10</translation>
    </message>
    <message>
        <source>Jack</source>
        <comment>ranks[11]</comment>
        <translation>الولد</translation>
    </message>
    <message>
        <source>Queen</source>
        <comment>ranks[12]</comment>
        <translation>البنت</translation>
    </message>
    <message>
        <source>King</source>
        <comment>ranks[13]</comment>
        <translation>الشايب</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <comment>card</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>in your hand</source>
        <comment>inHand</comment>
        <translation>في يدك</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>played</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>on the table in this trick</source>
        <comment>playedDescription</comment>
        <translation>على الطاولة في هذه الرمية</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>hand</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 has taken %2</source>
        <comment>taken</comment>
        <translation>%1 أخذ %2</translation>
    </message>
    <message>
        <source>%1 turned up %2</source>
        <comment>turnedUp</comment>
        <translation>%1 كشف %2</translation>
    </message>
    <message>
        <source>Bid of %1: %2</source>
        <comment>bid</comment>
        <translation>توقع %1: %2</translation>
    </message>
    <message>
        <source>Bid of %1: not shown yet</source>
        <comment>bidHidden</comment>
        <translation>توقع %1: لم يظهر بعد</translation>
    </message>
    <message>
        <source>Bid of %1: none yet</source>
        <comment>bidNone</comment>
        <translation>توقع %1: لا يوجد بعد</translation>
    </message>
    <message>
        <source>Your bid</source>
        <comment>bidBox</comment>
        <translation>توقعك</translation>
    </message>
    <message>
        <source>you</source>
        <comment>you</comment>
        <translation>أنت</translation>
    </message>
    <message>
        <source>your partner</source>
        <comment>partner</comment>
        <translation>شريكك</translation>
    </message>
    <message>
        <source>right-hand opponent</source>
        <comment>rightOpponent</comment>
        <translation>الخصم الأيمن</translation>
    </message>
    <message>
        <source>left-hand opponent</source>
        <comment>leftOpponent</comment>
        <translation>الخصم الأيسر</translation>
    </message>
    <message>
        <source>That card does not follow suit</source>
        <comment>warning</comment>
        <translation>هذه الورقة لا تتبع اللون المطلوب</translation>
    </message>
    <message>
        <source>Trump: %1</source>
        <comment>trumpPanel</comment>
        <translation>الهلبيط: %1</translation>
    </message>
    <message>
        <source>Trump: none</source>
        <comment>noTrump</comment>
        <translation>الهلبيط: لا يوجد</translation>
    </message>
    <message>
        <source>Dealer: %1</source>
        <comment>dealerPanel</comment>
        <translation>وزع الورق: %1</translation>
    </message>
    <message>
        <source>To play: %1</source>
        <comment>playPanel</comment>
        <translation>اللعب عند: %1</translation>
    </message>
    <message>
        <source>Hint: %1</source>
        <comment>hintPanel</comment>
        <translation>تلميح: %1</translation>
    </message>
    <message>
        <source>Status bar</source>
        <comment>statusBar</comment>
        <translation>شريط الحالة</translation>
    </message>
    <message>
        <source>Card table</source>
        <comment>table</comment>
        <translation>طاولة اللعب</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <comment>menuBar</comment>
        <translation>شريط القوائم</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>score</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>latest score</source>
        <comment>scoreLatest</comment>
        <translation>آخر نتيجة</translation>
    </message>
    <message>
        <source>earlier score</source>
        <comment>scoreEarlier</comment>
        <translation>نتيجة سابقة</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>lastTrickCard</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>What happens in the game</source>
        <comment>announcer</comment>
        <translation>ما يجري في اللعبة</translation>
    </message>
    <message>
        <source>New deal: %1 deals, trump is %2</source>
        <comment>deals</comment>
        <translation>جولة جديدة، %1 يوزع الورق، والهلبيط %2</translation>
    </message>
    <message>
        <source>Your turn to bid</source>
        <comment>yourBid</comment>
        <translation>دورك في التوقع</translation>
    </message>
    <message>
        <source>%1 bids %2</source>
        <comment>bidMade</comment>
        <translation>%1 توقع %2</translation>
    </message>
    <message>
        <source>Bids: %1</source>
        <comment>bidsShown</comment>
        <translation>التوقعات: %1</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>bidItem</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>The bids total less than 11; the deal is dealt again</source>
        <comment>passed</comment>
        <translation>مجموع التوقعات أقل من 11، يعاد التوزيع</translation>
    </message>
    <message>
        <source>%1 plays %2</source>
        <comment>plays</comment>
        <translation>%1 لعب %2</translation>
    </message>
    <message>
        <source>%1 to play</source>
        <comment>toPlay</comment>
        <translation>اللعب عند %1</translation>
    </message>
    <message>
        <source>Your turn</source>
        <comment>yourTurn</comment>
        <translation>دورك في اللعب</translation>
    </message>
    <message>
        <source>%1 takes the trick, %2 now</source>
        <comment>takes</comment>
        <translation>%1 أخذ الرمية، معه %2</translation>
    </message>
    <message>
        <source>Deal scored: %1</source>
        <comment>scored</comment>
        <translation>نتيجة الجولة: %1</translation>
    </message>
    <message>
        <source>%1 %2, total %3</source>
        <comment>scoreItem</comment>
        <translation>%1 %2، المجموع %3</translation>
    </message>
    <message>
        <source>%1 wins the game for his side</source>
        <comment>won</comment>
        <translation>%1 فاز باللعبة لفريقه</translation>
    </message>
    <message>
        <source>, </source>
        <comment>separator</comment>
        <translation>، </translation>
    </message>
    <message numerus="yes">
        <source>%n card(s)</source>
        <comment>cards</comment>
        <translation>
            <numerusform>لا أوراق</numerusform>
            <numerusform>ورقة واحدة</numerusform>
            <numerusform>ورقتان</numerusform>
            <numerusform>%n أوراق</numerusform>
            <numerusform>%n ورقة</numerusform>
            <numerusform>%n ورقة</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n trick(s)</source>
        <comment>tricks</comment>
        <translation>
            <numerusform>لا رميات</numerusform>
            <numerusform>رمية واحدة</numerusform>
            <numerusform>رميتان</numerusform>
            <numerusform>%n رميات</numerusform>
            <numerusform>%n رمية</numerusform>
            <numerusform>%n رمية</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Expert</name>
    <message>
        <source>&amp;Hint</source>
        <comment>HintItem</comment>
        <translation>تلميح</translation>
    </message>
    <message>
        <source>Hint: bid %1</source>
        <comment>BidHint</comment>
        <translation>تلميح: توقّع %1</translation>
    </message>
    <message>
        <source>Hint: %1 (%2)</source>
        <comment>CardHint</comment>
        <translation>تلميح: %1 (%2)</translation>
    </message>
    <message>
        <source>Computer Players</source>
        <comment>LevelCaption</comment>
        <translation>مستوى اللاعبين الآليين</translation>
    </message>
    <message>
        <source>Classic</source>
        <comment>Classic</comment>
        <translation>عادي</translation>
    </message>
    <message>
        <source>Expert</source>
        <comment>Expert</comment>
        <translation>خبير</translation>
    </message>
    <message>
        <source>clubs</source>
        <comment>suitNames[1]</comment>
        <translation>السباتي</translation>
    </message>
    <message>
        <source>spades</source>
        <comment>suitNames[2]</comment>
        <translation>البستوني</translation>
    </message>
    <message>
        <source>hearts</source>
        <comment>suitNames[3]</comment>
        <translation>الكبة</translation>
    </message>
    <message>
        <source>diamonds</source>
        <comment>suitNames[4]</comment>
        <translation>الديناري</translation>
    </message>
    <message>
        <source>ace</source>
        <comment>rankNames[1]</comment>
        <translation>الآص</translation>
    </message>
    <message>
        <source>2</source>
        <comment>rankNames[2]</comment>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <comment>rankNames[3]</comment>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <comment>rankNames[4]</comment>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <comment>rankNames[5]</comment>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <comment>rankNames[6]</comment>
        <translation>6</translation>
    </message>
    <message>
        <source>7</source>
        <comment>rankNames[7]</comment>
        <translation>7</translation>
    </message>
    <message>
        <source>8</source>
        <comment>rankNames[8]</comment>
        <translation>8</translation>
    </message>
    <message>
        <source>9</source>
        <comment>rankNames[9]</comment>
        <translation>9</translation>
    </message>
    <message>
        <source>10</source>
        <comment>rankNames[10]</comment>
        <translation>10</translation>
    </message>
    <message>
        <source>jack</source>
        <comment>rankNames[11]</comment>
        <translation>الولد</translation>
    </message>
    <message>
        <source>queen</source>
        <comment>rankNames[12]</comment>
        <translation>البنت</translation>
    </message>
    <message>
        <source>king</source>
        <comment>rankNames[13]</comment>
        <translation>الشايب</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <comment>cardName</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>the only card</source>
        <comment>reasons[0]</comment>
        <extracomment>Short: the hint panel is the status bar&apos;s last panel.</extracomment>
        <translation>الورقة الوحيدة</translation>
    </message>
    <message>
        <source>takes the trick</source>
        <comment>reasons[1]</comment>
        <translation>تكسب الرمية</translation>
    </message>
    <message>
        <source>trumps it</source>
        <comment>reasons[2]</comment>
        <translation>تقطع بالهلبيط</translation>
    </message>
    <message>
        <source>over-trumps</source>
        <comment>reasons[3]</comment>
        <translation>تعلو على الهلبيط</translation>
    </message>
    <message>
        <source>partner is winning</source>
        <comment>reasons[4]</comment>
        <translation>شريكك رابح</translation>
    </message>
    <message>
        <source>keep high cards</source>
        <comment>reasons[5]</comment>
        <translation>احتفظ بالعالية</translation>
    </message>
    <message>
        <source>least useful card</source>
        <comment>reasons[6]</comment>
        <translation>الأقل فائدة</translation>
    </message>
    <message>
        <source>a sure winner</source>
        <comment>reasons[7]</comment>
        <translation>رابحة مؤكدة</translation>
    </message>
    <message>
        <source>draws trumps</source>
        <comment>reasons[8]</comment>
        <translation>تسحب الهلبيط</translation>
    </message>
    <message>
        <source>a low lead</source>
        <comment>reasons[9]</comment>
        <translation>ابدأ بصغيرة</translation>
    </message>
    <message>
        <source>best over the deals</source>
        <comment>reasons[10]</comment>
        <translation>الأفضل في الاحتمالات</translation>
    </message>
    <message>
        <source>lowest is best</source>
        <comment>reasons[11]</comment>
        <translation>أقل توقع هو الأفضل</translation>
    </message>
    <message>
        <source>Hint: %1</source>
        <comment>CardHintPlain</comment>
        <translation>تلميح: %1</translation>
    </message>
    <message>
        <source>cannot take the trick</source>
        <comment>reasons[12]</comment>
        <translation>لا يمكنك كسب الرمية</translation>
    </message>
</context>
<context>
    <name>Faces</name>
    <message>
        <source>Card Faces</source>
        <comment>Caption</comment>
        <translation>وجوه الورق</translation>
    </message>
    <message>
        <source>Simple faces (no deck installed)</source>
        <comment>NoDecks</comment>
        <translation>الوجوه البسيطة (لا توجد أوراق مثبتة)</translation>
    </message>
    <message>
        <source>How the chosen cards look</source>
        <comment>PreviewHint</comment>
        <translation>هكذا تبدو الأوراق المختارة</translation>
    </message>
</context>
<context>
    <name>Flow</name>
    <message>
        <source>Do you want to exit?</source>
        <comment>ExitQuestion</comment>
        <translation>هل تريد إنهاء اللعبة ؟</translation>
    </message>
    <message>
        <source>Do you want to begin a new Game?!</source>
        <comment>NewGameQuestion</comment>
        <translation>هل تريد بدأ لعبة جديدة !؟</translation>
    </message>
    <message>
        <source>Choose your bid ...</source>
        <comment>BidPrompt</comment>
        <translation>حدد توقعك للرميات الرابحة ...</translation>
    </message>
    <message>
        <source>Bids are less than 11; deal passes.</source>
        <comment>PassNotice</comment>
        <translation>المجموع أقل من 11؛ سيتم إعادة توزيع الورق .</translation>
    </message>
    <message>
        <source>أدخل توقعك لعدد الرميات الرابحة.</source>
        <comment>MissingBidNotice</comment>
        <extracomment>Shown in Arabic in every language.</extracomment>
        <translation>أدخل توقعك لعدد الرميات الرابحة.</translation>
    </message>
    <message>
        <source>you must restart the game before new settings will take effect</source>
        <comment>RestartNotice</comment>
        <translation>سيتم تطبيق إعدادات اللغة بعد إعادة تشغيل اللعبة</translation>
    </message>
    <message>
        <source>The settings file was too large to be read, so a new one has been started. The old file has been kept, unchanged, as:
%1</source>
        <comment>SettingsSetAside</comment>
        <translation>كان ملف الإعدادات أكبر من أن يُقرأ، فبُدئ ملف جديد. وقد حُفظ الملف القديم كما هو باسم:
%1</translation>
    </message>
    <message>
        <source>The help files of this game are not installed on this computer.</source>
        <comment>NoHelp</comment>
        <translation>لا توجد ملفات المساعدة لهذه اللعبة على هذا الجهاز.</translation>
    </message>
    <message>
        <source>No program on this computer can open the help file:
%1</source>
        <comment>HelpNotOpened</comment>
        <translation>لا يوجد على هذا الجهاز برنامج يفتح ملف المساعدة:
%1</translation>
    </message>
    <message>
        <source>The game in progress will be kept and offered when Halbeet starts again.</source>
        <comment>ExitKeepsGame</comment>
        <translation>ستُحفظ اللعبة الجارية وتُعرض عليك عند تشغيل الهلبيط مرة أخرى.</translation>
    </message>
    <message>
        <source>The game in progress will not be kept.</source>
        <comment>ExitLosesGame</comment>
        <translation>لن تُحفظ اللعبة الجارية.</translation>
    </message>
    <message>
        <source>Yes deals the first hand of a new game. No closes Halbeet.</source>
        <comment>NewGameAfterWinDetails</comment>
        <translation>«نعم» توزّع أوراق لعبة جديدة، و«لا» تغلق الهلبيط.</translation>
    </message>
    <message>
        <source>Your side has won the game!</source>
        <comment>GameWonYourSide</comment>
        <translation>فاز فريقك باللعبة!</translation>
    </message>
    <message>
        <source>The other side has won the game.</source>
        <comment>GameWonOtherSide</comment>
        <translation>فاز الفريق الآخر باللعبة.</translation>
    </message>
    <message>
        <source>Your side: %1 %2, %3 %4</source>
        <comment>YourSideScores</comment>
        <extracomment>%1 and %3: the names of the human and his partner; %2 and %4: their final scores.</extracomment>
        <translation>فريقك: %1 %2، %3 %4</translation>
    </message>
    <message>
        <source>The other side: %1 %2, %3 %4</source>
        <comment>OtherSideScores</comment>
        <extracomment>%1 and %3: the names of the two opponents; %2 and %4: their final scores.</extracomment>
        <translation>الفريق الآخر: %1 %2، %3 %4</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <source>English</source>
        <comment>name</comment>
        <extracomment>This language&apos;s name in itself, as the Language menu lists it.</extracomment>
        <translation>العربية</translation>
    </message>
    <message>
        <source>Halbeet</source>
        <comment>applicationTitle</comment>
        <translation>الهلبيط</translation>
    </message>
    <message>
        <source>HalbeetEnglish.chm</source>
        <comment>helpFileName</comment>
        <translation>HalbeetArabic.chm</translation>
    </message>
</context>
<context>
    <name>LastTrick</name>
    <message>
        <source>Last Shot</source>
        <comment>caption</comment>
        <translation>آخر رمية</translation>
    </message>
    <message>
        <source>Close</source>
        <comment>Button1</comment>
        <translation>إغلاق</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Halbeet</source>
        <comment>caption</comment>
        <translation>الهلبيط</translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <comment>N1</comment>
        <translation>&amp;لعبة</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <comment>N9</comment>
        <translation>&amp;مساعدة</translation>
    </message>
    <message>
        <source>New Game</source>
        <comment>N2</comment>
        <translation>لعبة جديدة</translation>
    </message>
    <message>
        <source>Options...</source>
        <comment>N6</comment>
        <translation>خيارات...</translation>
    </message>
    <message>
        <source>Last Trick</source>
        <comment>N3</comment>
        <translation>اظهار آخر رمية</translation>
    </message>
    <message>
        <source>Scores</source>
        <comment>N4</comment>
        <translation>النتائج</translation>
    </message>
    <message>
        <source>Language</source>
        <comment>Language1</comment>
        <translation>اللغة</translation>
    </message>
    <message>
        <source>العربية</source>
        <comment>N15</comment>
        <extracomment>Arabic in Arabic: the same in every language.</extracomment>
        <translation>العربية</translation>
    </message>
    <message>
        <source>English</source>
        <comment>English1</comment>
        <extracomment>English in English: the same in every language.</extracomment>
        <translation>English</translation>
    </message>
    <message>
        <source>Exit</source>
        <comment>N7</comment>
        <translation>انهاء</translation>
    </message>
    <message>
        <source>About</source>
        <comment>N10</comment>
        <translation>حول اللعبة</translation>
    </message>
    <message>
        <source>Help Contents</source>
        <comment>N12</comment>
        <translation>مساعدة</translation>
    </message>
    <message>
        <source>About</source>
        <comment>N13</comment>
        <translation>حول اللعبة</translation>
    </message>
    <message>
        <source>Ok</source>
        <comment>Button1</comment>
        <translation>موافق</translation>
    </message>
    <message>
        <source>Choose your bid</source>
        <comment>ComboBox1Hint</comment>
        <translation>اختر توقعك للرميات الرابحة</translation>
    </message>
    <message>
        <source>Play</source>
        <comment>playLabel</comment>
        <translation>اللعب عند :</translation>
    </message>
    <message>
        <source>Deal</source>
        <comment>dealLabel</comment>
        <translation>وزع الورق  :</translation>
    </message>
    <message>
        <source>Halbeet</source>
        <comment>trumpLabel</comment>
        <translation>الهلبيط</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <comment>FullScreen</comment>
        <translation>ملء الشاشة</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Warning</source>
        <comment>captions[0]</comment>
        <translation>تحذير</translation>
    </message>
    <message>
        <source>Error</source>
        <comment>captions[1]</comment>
        <translation>خطأ</translation>
    </message>
    <message>
        <source>Information</source>
        <comment>captions[2]</comment>
        <translation>معلومات</translation>
    </message>
    <message>
        <source>Confirm</source>
        <comment>captions[3]</comment>
        <translation>موافقة</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <comment>buttons[0]</comment>
        <translation>نعم</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <comment>buttons[1]</comment>
        <translation>لا</translation>
    </message>
    <message>
        <source>Cancel</source>
        <comment>buttons[3]</comment>
        <translation>إلغاء الأمر</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <comment>buttons[4]</comment>
        <translation>انهاء</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <comment>buttons[5]</comment>
        <translation>محاولة</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <comment>buttons[6]</comment>
        <translation>تجاوز</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <comment>buttons[7]</comment>
        <translation>الكل</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <comment>buttons[8]</comment>
        <translation>لا للكل</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <comment>buttons[9]</comment>
        <translation>نعم للكل</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <comment>buttons[10]</comment>
        <translation>تعليمات</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <comment>buttons[11]</comment>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <comment>buttons[2]</comment>
        <translation>موافق</translation>
    </message>
</context>
<context>
    <name>NameDialog</name>
    <message>
        <source>Halbeet</source>
        <comment>caption</comment>
        <translation>الهلبيط</translation>
    </message>
    <message>
        <source>Welcome to Halbeet</source>
        <comment>Label1</comment>
        <translation>مرحباً بك في لعبة الهلبيط </translation>
    </message>
    <message>
        <source>What is your name?</source>
        <comment>Label2</comment>
        <translation>ماهو اسمك ؟</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <comment>BitBtn1</comment>
        <translation>&amp;موافق</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <comment>BitBtn2</comment>
        <translation>إ&amp;غلاق</translation>
    </message>
</context>
<context>
    <name>Names</name>
    <message>
        <source>Player2</source>
        <comment>defaults[2]</comment>
        <translation>لاعب2</translation>
    </message>
    <message>
        <source>Player3</source>
        <comment>defaults[3]</comment>
        <translation>لاعب3</translation>
    </message>
    <message>
        <source>Player4</source>
        <comment>defaults[4]</comment>
        <translation>لاعب4</translation>
    </message>
    <message>
        <source>Please type your name.</source>
        <comment>EmptyName</comment>
        <translation>اكتب اسمك من فضلك.</translation>
    </message>
    <message>
        <source>Every player needs a name.</source>
        <comment>EmptyNames</comment>
        <translation>لا بد لكل لاعب من اسم.</translation>
    </message>
    <message>
        <source>Two players cannot have the same name.</source>
        <comment>DuplicateName</comment>
        <translation>لا يحمل لاعبان الاسم نفسه.</translation>
    </message>
    <message>
        <source>A name has at most 8 characters.</source>
        <comment>NameCut</comment>
        <translation>لا يزيد الاسم على 8 أحرف.</translation>
    </message>
</context>
<context>
    <name>Network</name>
    <message>
        <source>&amp;Host a table...</source>
        <comment>hostItem</comment>
        <translation>استضافة &amp;طاولة...</translation>
    </message>
    <message>
        <source>&amp;Join a table...</source>
        <comment>joinItem</comment>
        <translation>الا&amp;نضمام إلى طاولة...</translation>
    </message>
    <message>
        <source>&amp;Leave the table</source>
        <comment>leaveItem</comment>
        <translation>م&amp;غادرة الطاولة</translation>
    </message>
    <message>
        <source>Host a table</source>
        <comment>hostCaption</comment>
        <translation>استضافة طاولة</translation>
    </message>
    <message>
        <source>Choose who sits in each chair. Friends take the open chairs; computers fill those still open when you start.</source>
        <comment>hostIntro</comment>
        <translation>اختر من يجلس على كل كرسي. يجلس الأصدقاء على الكراسي المفتوحة، ويملأ الكمبيوتر ما بقي منها مفتوحًا عندما تبدأ.</translation>
    </message>
    <message>
        <source>Partner</source>
        <comment>partnerChair</comment>
        <translation>الشريك</translation>
    </message>
    <message>
        <source>Opponent on the right</source>
        <comment>rightChair</comment>
        <translation>الخصم على اليمين</translation>
    </message>
    <message>
        <source>Opponent on the left</source>
        <comment>leftChair</comment>
        <translation>الخصم على اليسار</translation>
    </message>
    <message>
        <source>Open for a friend</source>
        <comment>openChair</comment>
        <translation>مفتوح لصديق</translation>
    </message>
    <message>
        <source>Computer (Classic)</source>
        <comment>classicChair</comment>
        <translation>الكمبيوتر (عادي)</translation>
    </message>
    <message>
        <source>Computer (Expert)</source>
        <comment>expertChair</comment>
        <translation>الكمبيوتر (خبير)</translation>
    </message>
    <message>
        <source>Port</source>
        <comment>portLabel</comment>
        <translation>المنفذ</translation>
    </message>
    <message>
        <source>&amp;Host</source>
        <comment>hostButton</comment>
        <translation>ا&amp;ستضافة</translation>
    </message>
    <message>
        <source>Join a table</source>
        <comment>joinCaption</comment>
        <translation>الانضمام إلى طاولة</translation>
    </message>
    <message>
        <source>Tables on your network:</source>
        <comment>tablesFound</comment>
        <translation>الطاولات في شبكتك:</translation>
    </message>
    <message>
        <source>No table found on your network yet.</source>
        <comment>noTablesFound</comment>
        <translation>لم يُعثر على طاولة في شبكتك بعد.</translation>
    </message>
    <message>
        <source>%1 at %2 (open chairs: %3)</source>
        <comment>foundTable</comment>
        <translation>%1 على %2 (كراسٍ مفتوحة: %3)</translation>
    </message>
    <message>
        <source>Address</source>
        <comment>addressLabel</comment>
        <translation>العنوان</translation>
    </message>
    <message>
        <source>Table code</source>
        <comment>codeLabel</comment>
        <translation>رمز الطاولة</translation>
    </message>
    <message>
        <source>&amp;Join</source>
        <comment>joinButton</comment>
        <translation>ا&amp;نضمام</translation>
    </message>
    <message>
        <source>&amp;Back to my last table</source>
        <comment>rejoinButton</comment>
        <translation>ال&amp;عودة إلى طاولتي الأخيرة</translation>
    </message>
    <message>
        <source>Cancel</source>
        <comment>cancelButton</comment>
        <translation>إلغاء الأمر</translation>
    </message>
    <message>
        <source>Table %1</source>
        <comment>panelTitle</comment>
        <translation>الطاولة %1</translation>
    </message>
    <message>
        <source>Friends join at %1 with the code %2</source>
        <comment>reachTable</comment>
        <translation>ينضم الأصدقاء عبر %1 بالرمز %2</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <comment>copyButton</comment>
        <translation>ن&amp;سخ</translation>
    </message>
    <message>
        <source>&amp;Start the game</source>
        <comment>startButton</comment>
        <translation>ا&amp;بدأ اللعبة</translation>
    </message>
    <message>
        <source>Waiting for the host to start the game.</source>
        <comment>waitingForHost</comment>
        <translation>بانتظار أن يبدأ المضيف اللعبة.</translation>
    </message>
    <message>
        <source>Start when your friends are seated.</source>
        <comment>waitingForFriends</comment>
        <translation>ابدأ اللعبة حين يجلس أصدقاؤك.</translation>
    </message>
    <message>
        <source>(open)</source>
        <comment>openMark</comment>
        <translation>(مفتوح)</translation>
    </message>
    <message>
        <source>%1 (computer)</source>
        <comment>computerMark</comment>
        <translation>%1 (الكمبيوتر)</translation>
    </message>
    <message>
        <source>%1 (away)</source>
        <comment>awayMark</comment>
        <translation>%1 (غائب)</translation>
    </message>
    <message>
        <source>Connection lost; reconnecting...</source>
        <comment>connectionLost</comment>
        <translation>انقطع الاتصال؛ جارٍ إعادة الاتصال...</translation>
    </message>
    <message>
        <source>Back at the table.</source>
        <comment>reconnected</comment>
        <translation>عدت إلى الطاولة.</translation>
    </message>
    <message>
        <source>You are no longer at the table: %1</source>
        <comment>tableEnded</comment>
        <translation>لم تعد على الطاولة: %1</translation>
    </message>
    <message>
        <source>The table could not be opened: %1</source>
        <comment>hostFailed</comment>
        <translation>تعذّر فتح الطاولة: %1</translation>
    </message>
    <message>
        <source>Leave the table? A computer will play your seat.</source>
        <comment>leaveQuestion</comment>
        <translation>أتغادر الطاولة؟ سيلعب الكمبيوتر مكانك.</translation>
    </message>
    <message>
        <source>Close your table? Your friends will leave it too.</source>
        <comment>closeTableQuestion</comment>
        <translation>أتغلق طاولتك؟ سيغادرها أصدقاؤك أيضًا.</translation>
    </message>
    <message>
        <source>no table has this code</source>
        <comment>noSuchTable</comment>
        <translation>لا توجد طاولة بهذا الرمز</translation>
    </message>
    <message>
        <source>every chair is taken</source>
        <comment>tableFull</comment>
        <translation>كل الكراسي مشغولة</translation>
    </message>
    <message>
        <source>Say something to the table</source>
        <comment>chatPlaceholder</comment>
        <translation>اكتب رسالة إلى الطاولة</translation>
    </message>
    <message>
        <source>Send</source>
        <comment>chatSend</comment>
        <translation>إرسال</translation>
    </message>
    <message>
        <source>Not so fast: wait a moment.</source>
        <comment>chatTooFast</comment>
        <translation>تمهّل قليلًا قبل الإرسال.</translation>
    </message>
    <message>
        <source>Chat</source>
        <comment>chatName</comment>
        <translation>الدردشة</translation>
    </message>
    <message>
        <source>%1 says: %2</source>
        <comment>chatLine</comment>
        <translation>%1 يقول: %2</translation>
    </message>
    <message>
        <source>the host closed the table</source>
        <comment>closedByHost</comment>
        <translation>أغلق المضيف الطاولة</translation>
    </message>
    <message>
        <source>the table could not be reached again</source>
        <comment>gaveUp</comment>
        <translation>تعذّر الوصول إلى الطاولة مجددًا</translation>
    </message>
    <message>
        <source>too many wrong codes; try again in a minute</source>
        <comment>tooManyWrongCodes</comment>
        <translation>رموز خاطئة كثيرة؛ حاول ثانية بعد دقيقة</translation>
    </message>
    <message>
        <source>Your table %1 was kept when your game ended. Open it again? Your friends come back to it with the same code.</source>
        <comment>hostAgainQuestion</comment>
        <translation>حُفظت طاولتك %1 عند انتهاء لعبتك. أتفتحها من جديد؟ يعود إليها أصدقاؤك بالرمز نفسه.</translation>
    </message>
    <message>
        <source>Your table could not be kept: %1</source>
        <comment>tableNotKept</comment>
        <translation>تعذّر حفظ طاولتك: %1</translation>
    </message>
    <message>
        <source>the table no longer knows this seat&apos;s token</source>
        <comment>unknownToken</comment>
        <translation>لم تعد الطاولة تعرف رمز دخول هذا الكرسي</translation>
    </message>
    <message>
        <source>your seat was taken back from another connection</source>
        <comment>seatTakenElsewhere</comment>
        <translation>استُعيد كرسيك من اتصال آخر</translation>
    </message>
    <message>
        <source>Or in a web browser:
%1</source>
        <comment>browserLinks</comment>
        <translation>أو من متصفح الويب:
%1</translation>
    </message>
    <message>
        <source>QR code of the link %1</source>
        <comment>qrCodeName</comment>
        <translation>رمز QR للرابط %1</translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <source>Option</source>
        <comment>caption</comment>
        <translation>خيارات</translation>
    </message>
    <message>
        <source>Team A</source>
        <comment>Label5</comment>
        <translation>الفريق الأول</translation>
    </message>
    <message>
        <source>Your Name</source>
        <comment>Label1</comment>
        <translation>اسمك</translation>
    </message>
    <message>
        <source>Partner Name</source>
        <comment>Label2</comment>
        <translation>اسم الشريك</translation>
    </message>
    <message>
        <source>Team B</source>
        <comment>Label6</comment>
        <translation>الفريق الثاني</translation>
    </message>
    <message>
        <source>Player1</source>
        <comment>Label3</comment>
        <translation>لاعب1</translation>
    </message>
    <message>
        <source>Player2</source>
        <comment>Label4</comment>
        <translation>لاعب2</translation>
    </message>
    <message>
        <source>Playing Speed</source>
        <comment>Label9</comment>
        <translation>سرعة اللعب</translation>
    </message>
    <message>
        <source>Fast</source>
        <comment>RadioButton3</comment>
        <translation>سريع</translation>
    </message>
    <message>
        <source>Normal</source>
        <comment>RadioButton4</comment>
        <translation>متوسط</translation>
    </message>
    <message>
        <source>Slow</source>
        <comment>RadioButton5</comment>
        <translation>بطيء</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <comment>BitBtn1</comment>
        <translation>&amp;موافق</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <comment>BitBtn3</comment>
        <translation>إل&amp;غاء الأمر</translation>
    </message>
    <message>
        <source>Choose Cards Back</source>
        <comment>Card1Hint</comment>
        <translation>اختر خلفية الورق</translation>
    </message>
    <message>
        <source>&lt;</source>
        <comment>SpeedButton1</comment>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <comment>SpeedButton2</comment>
        <translation>&lt;</translation>
    </message>
</context>
<context>
    <name>QGuiApplication</name>
    <message>
        <source>QT_LAYOUT_DIRECTION</source>
        <comment>Translate this string to the string &apos;LTR&apos; in left-to-right languages or to &apos;RTL&apos; in right-to-left languages (such as Hebrew and Arabic) to get proper widget layout.</comment>
        <translation>RTL</translation>
    </message>
</context>
<context>
    <name>SavedGame</name>
    <message>
        <source>The last game was not finished when Halbeet was closed. Do you want to continue it?</source>
        <comment>ResumeQuestion</comment>
        <translation>لم تكتمل اللعبة السابقة عند إغلاق البرنامج. هل تريد متابعتها؟</translation>
    </message>
    <message>
        <source>The saved game could not be read (%1).
It has been kept as:
%2
A new game begins.</source>
        <comment>UnreadableNotice</comment>
        <translation>تعذّرت قراءة اللعبة المحفوظة (%1).
تم الاحتفاظ بها في:
%2
ستبدأ لعبة جديدة.</translation>
    </message>
    <message>
        <source>the file is not a saved game</source>
        <comment>NotASave</comment>
        <translation>الملف ليس لعبة محفوظة</translation>
    </message>
    <message>
        <source>it was saved by a newer version of Halbeet</source>
        <comment>NewerVersion</comment>
        <translation>حُفظت بإصدار أحدث من البرنامج</translation>
    </message>
    <message>
        <source>the file is damaged</source>
        <comment>Damaged</comment>
        <translation>الملف تالف</translation>
    </message>
    <message>
        <source>(it could not be kept and was removed)</source>
        <comment>KeptNowhere</comment>
        <translation>(تعذّر الاحتفاظ بها وحُذفت)</translation>
    </message>
    <message>
        <source>The game could not be saved to:
%1
It will not be offered at the next start.</source>
        <comment>SaveFailedNotice</comment>
        <translation>تعذّر حفظ اللعبة في:
%1
لن تُعرض عليك متابعتها عند التشغيل القادم.</translation>
    </message>
    <message>
        <source>Continue an unfinished game at the next start</source>
        <comment>ResumeOption</comment>
        <translation>متابعة اللعبة غير المكتملة عند التشغيل القادم</translation>
    </message>
</context>
<context>
    <name>ScoreSheet</name>
    <message>
        <source>Scores</source>
        <comment>caption</comment>
        <translation>النتائج</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <comment>Button1</comment>
        <translation>&amp;موافق</translation>
    </message>
</context>
<context>
    <name>Statistics</name>
    <message>
        <source>&amp;Statistics...</source>
        <comment>menuItem</comment>
        <translation>الإحصاءات...</translation>
    </message>
    <message>
        <source>Statistics</source>
        <comment>caption</comment>
        <translation>الإحصاءات</translation>
    </message>
    <message>
        <source>Games finished:</source>
        <comment>gamesPlayed</comment>
        <translation>الألعاب المنتهية:</translation>
    </message>
    <message>
        <source>Won by your side:</source>
        <comment>gamesWon</comment>
        <translation>فاز بها فريقك:</translation>
    </message>
    <message>
        <source>Longest winning streak:</source>
        <comment>winningStreak</comment>
        <translation>أطول سلسلة فوز:</translation>
    </message>
    <message>
        <source>Deals scored:</source>
        <comment>dealsScored</comment>
        <translation>الجولات المحتسبة:</translation>
    </message>
    <message>
        <source>Your average score change per deal:</source>
        <comment>averageChange</comment>
        <translation>متوسط تغير نقاطك في الجولة:</translation>
    </message>
    <message>
        <source>Your bids</source>
        <comment>bidsHeading</comment>
        <translation>نجاح توقعاتك</translation>
    </message>
    <message>
        <source>Bid</source>
        <comment>bidTricks</comment>
        <translation>التوقع</translation>
    </message>
    <message>
        <source>Times</source>
        <comment>bidCount</comment>
        <translation>المرات</translation>
    </message>
    <message>
        <source>Made</source>
        <comment>bidMade</comment>
        <translation>نجح</translation>
    </message>
    <message>
        <source>Success</source>
        <comment>bidRate</comment>
        <translation>النسبة</translation>
    </message>
    <message>
        <source>No deal has been scored yet.</source>
        <comment>noBids</comment>
        <translation>لم تُحتسب أي جولة بعد.</translation>
    </message>
    <message>
        <source>This game&apos;s scores</source>
        <comment>scoreChart</comment>
        <translation>نقاط اللعبة الحالية</translation>
    </message>
    <message>
        <source>Deal</source>
        <comment>scoreAxisDeal</comment>
        <translation>الجولة</translation>
    </message>
    <message>
        <source>Points</source>
        <comment>scoreAxisPoints</comment>
        <translation>النقاط</translation>
    </message>
    <message>
        <source>No deal of this game has been scored yet.</source>
        <comment>noScores</comment>
        <translation>لم تُحتسب أي جولة من هذه اللعبة بعد.</translation>
    </message>
    <message>
        <source>Your side&apos;s win rate</source>
        <comment>winRateChart</comment>
        <translation>نسبة فوز فريقك</translation>
    </message>
    <message>
        <source>Games</source>
        <comment>winRateAxisGames</comment>
        <translation>الألعاب</translation>
    </message>
    <message>
        <source>%</source>
        <comment>winRateAxisRate</comment>
        <translation>٪</translation>
    </message>
    <message>
        <source>No game has been finished yet.</source>
        <comment>noGames</comment>
        <translation>لم تنته أي لعبة بعد.</translation>
    </message>
    <message>
        <source>&amp;Reset...</source>
        <comment>resetButton</comment>
        <translation>تصفير...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <comment>closeButton</comment>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>Forget all statistics? This cannot be undone.</source>
        <comment>resetQuestion</comment>
        <translation>هل تريد حذف كل الإحصاءات؟ لا يمكن التراجع عن ذلك.</translation>
    </message>
    <message>
        <source>The statistics cannot be read just now.</source>
        <comment>unavailable</comment>
        <translation>لا يمكن قراءة الإحصاءات الآن.</translation>
    </message>
    <message>
        <source>The Statistics window cannot be shown:
%1</source>
        <comment>windowMissing</comment>
        <translation>لا يمكن عرض نافذة الإحصاءات:
%1</translation>
    </message>
    <message>
        <source>The statistics file is damaged, so statistics are not being kept. Reset in the Statistics window starts a new file.
%1</source>
        <comment>errorDamaged</comment>
        <translation>ملف الإحصاءات تالف، ولن تُحفظ الإحصاءات. زر التصفير في نافذة الإحصاءات يبدأ ملفاً جديداً.
%1</translation>
    </message>
    <message>
        <source>Another copy of Halbeet is using the statistics file; deals played in this copy may not be recorded.</source>
        <comment>errorLocked</comment>
        <translation>نسخة أخرى من الهلبيط تستخدم ملف الإحصاءات، فقد لا تُحفظ جولات هذه النسخة.</translation>
    </message>
    <message>
        <source>Statistics cannot be saved (the disk may be full or the folder read-only). The game goes on.
%1</source>
        <comment>errorWriteFailed</comment>
        <translation>تعذر حفظ الإحصاءات (قد يكون القرص ممتلئاً أو المجلد للقراءة فقط). تستمر اللعبة.
%1</translation>
    </message>
    <message>
        <source>%1 of %2 (%3)</source>
        <comment>gamesWonOf</comment>
        <translation>%1 من %2 (%3)</translation>
    </message>
    <message>
        <source>none yet</source>
        <comment>noGamesYet</comment>
        <translation>لا شيء بعد</translation>
    </message>
</context>
</TS>
