// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/language.h"

// Every fixed text of the program, one table per language. The texts are the program's own
// and are kept character for character, trailing spaces and doubled spaces included.

namespace halbeet {

namespace {

bool g_arabic = false;

void addArabicStatistics(StatisticsTexts& t)
{
    t.menuItem = QStringLiteral("الإحصاءات...");
    t.caption = QStringLiteral("الإحصاءات");
    t.gamesPlayed = QStringLiteral("الألعاب المنتهية:");
    t.gamesWon = QStringLiteral("فاز بها فريقك:");
    t.winningStreak = QStringLiteral("أطول سلسلة فوز:");
    t.dealsScored = QStringLiteral("الجولات المحتسبة:");
    t.averageChange = QStringLiteral("متوسط تغير نقاطك في الجولة:");
    t.bidsHeading = QStringLiteral("نجاح توقعاتك");
    t.bidTricks = QStringLiteral("التوقع");
    t.bidCount = QStringLiteral("المرات");
    t.bidMade = QStringLiteral("نجح");
    t.bidRate = QStringLiteral("النسبة");
    t.noBids = QStringLiteral("لم تُحتسب أي جولة بعد.");
    t.scoreChart = QStringLiteral("نقاط اللعبة الحالية");
    t.scoreAxisDeal = QStringLiteral("الجولة");
    t.scoreAxisPoints = QStringLiteral("النقاط");
    t.noScores = QStringLiteral("لم تُحتسب أي جولة من هذه اللعبة بعد.");
    t.winRateChart = QStringLiteral("نسبة فوز فريقك");
    t.winRateAxisGames = QStringLiteral("الألعاب");
    t.winRateAxisRate = QStringLiteral("٪");
    t.noGames = QStringLiteral("لم تنته أي لعبة بعد.");
    t.resetButton = QStringLiteral("تصفير...");
    t.closeButton = QStringLiteral("إغلاق");
    t.resetQuestion = QStringLiteral("هل تريد حذف كل الإحصاءات؟ لا يمكن التراجع عن ذلك.");
    t.unavailable = QStringLiteral("لا يمكن قراءة الإحصاءات الآن.");
    t.windowMissing = QStringLiteral("لا يمكن عرض نافذة الإحصاءات:\n%1");
    t.errorDamaged = QStringLiteral("ملف الإحصاءات تالف، ولن تُحفظ الإحصاءات. زر التصفير في نافذة الإحصاءات يبدأ ملفاً جديداً.\n%1");
    t.errorLocked = QStringLiteral("نسخة أخرى من الهلبيط تستخدم ملف الإحصاءات، فقد لا تُحفظ جولات هذه النسخة.");
    t.errorWriteFailed = QStringLiteral("تعذر حفظ الإحصاءات (قد يكون القرص ممتلئاً أو المجلد للقراءة فقط). تستمر اللعبة.\n%1");
    t.errorUnavailable = QStringLiteral("الإحصاءات غير متاحة: مشغل SQLite الخاص بـ Qt غير مثبت.");
}

void addEnglishStatistics(StatisticsTexts& t)
{
    t.menuItem = QStringLiteral("&Statistics...");
    t.caption = QStringLiteral("Statistics");
    t.gamesPlayed = QStringLiteral("Games finished:");
    t.gamesWon = QStringLiteral("Won by your side:");
    t.winningStreak = QStringLiteral("Longest winning streak:");
    t.dealsScored = QStringLiteral("Deals scored:");
    t.averageChange = QStringLiteral("Your average score change per deal:");
    t.bidsHeading = QStringLiteral("Your bids");
    t.bidTricks = QStringLiteral("Bid");
    t.bidCount = QStringLiteral("Times");
    t.bidMade = QStringLiteral("Made");
    t.bidRate = QStringLiteral("Success");
    t.noBids = QStringLiteral("No deal has been scored yet.");
    t.scoreChart = QStringLiteral("This game's scores");
    t.scoreAxisDeal = QStringLiteral("Deal");
    t.scoreAxisPoints = QStringLiteral("Points");
    t.noScores = QStringLiteral("No deal of this game has been scored yet.");
    t.winRateChart = QStringLiteral("Your side's win rate");
    t.winRateAxisGames = QStringLiteral("Games");
    t.winRateAxisRate = QStringLiteral("%");
    t.noGames = QStringLiteral("No game has been finished yet.");
    t.resetButton = QStringLiteral("&Reset...");
    t.closeButton = QStringLiteral("&Close");
    t.resetQuestion = QStringLiteral("Forget all statistics? This cannot be undone.");
    t.unavailable = QStringLiteral("The statistics cannot be read just now.");
    t.windowMissing = QStringLiteral("The Statistics window cannot be shown:\n%1");
    t.errorDamaged = QStringLiteral("The statistics file is damaged, so statistics are not being kept. Reset in the Statistics window starts a new file.\n%1");
    t.errorLocked = QStringLiteral("Another copy of Halbeet is using the statistics file; deals played in this copy may not be recorded.");
    t.errorWriteFailed = QStringLiteral("Statistics cannot be saved (the disk may be full or the folder read-only). The game goes on.\n%1");
    t.errorUnavailable = QStringLiteral("Statistics are not available: Qt's SQLite driver is not installed.");
}

void addArabicAccess(AccessTexts& t)
{
    t.suits = {QString(), QStringLiteral("السباتي"), QStringLiteral("البستوني"), QStringLiteral("الكبة"),
               QStringLiteral("الديناري")};
    t.ranks = {QString(), QStringLiteral("الآص"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
               QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
               QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("الولد"), QStringLiteral("البنت"),
               QStringLiteral("الشايب")};
    t.card = QStringLiteral("%1 %2");
    t.inHand = QStringLiteral("في يدك");
    t.played = QStringLiteral("%1: %2");
    t.playedDescription = QStringLiteral("على الطاولة في هذه الرمية");
    t.hand = QStringLiteral("%1: %2");
    t.taken = QStringLiteral("%1 أخذ %2");
    t.turnedUp = QStringLiteral("%1 كشف %2");
    t.bid = QStringLiteral("توقع %1: %2");
    t.bidHidden = QStringLiteral("توقع %1: لم يظهر بعد");
    t.bidNone = QStringLiteral("توقع %1: لا يوجد بعد");
    t.bidBox = QStringLiteral("توقعك");
    t.you = QStringLiteral("أنت");
    t.partner = QStringLiteral("شريكك");
    t.rightOpponent = QStringLiteral("الخصم الأيمن");
    t.leftOpponent = QStringLiteral("الخصم الأيسر");
    t.warning = QStringLiteral("هذه الورقة لا تتبع اللون المطلوب");
    t.trumpPanel = QStringLiteral("الهلبيط: %1");
    t.noTrump = QStringLiteral("الهلبيط: لا يوجد");
    t.dealerPanel = QStringLiteral("وزع الورق: %1");
    t.playPanel = QStringLiteral("اللعب عند: %1");
    t.hintPanel = QStringLiteral("تلميح: %1");
    t.statusBar = QStringLiteral("شريط الحالة");
    t.table = QStringLiteral("طاولة اللعب");
    t.menuBar = QStringLiteral("شريط القوائم");
    t.score = QStringLiteral("%1: %2");
    t.scoreLatest = QStringLiteral("آخر نتيجة");
    t.scoreEarlier = QStringLiteral("نتيجة سابقة");
    t.lastTrickCard = QStringLiteral("%1: %2");
    t.announcer = QStringLiteral("ما يجري في اللعبة");
    t.deals = QStringLiteral("جولة جديدة، %1 يوزع الورق، والهلبيط %2");
    t.yourBid = QStringLiteral("دورك في التوقع");
    t.bidMade = QStringLiteral("%1 توقع %2");
    t.bidsShown = QStringLiteral("التوقعات: %1");
    t.bidItem = QStringLiteral("%1 %2");
    t.passed = QStringLiteral("مجموع التوقعات أقل من 11، يعاد التوزيع");
    t.plays = QStringLiteral("%1 لعب %2");
    t.toPlay = QStringLiteral("اللعب عند %1");
    t.yourTurn = QStringLiteral("دورك في اللعب");
    t.takes = QStringLiteral("%1 أخذ الرمية، معه %2");
    t.scored = QStringLiteral("نتيجة الجولة: %1");
    t.scoreItem = QStringLiteral("%1 %2، المجموع %3");
    t.won = QStringLiteral("%1 فاز باللعبة لفريقه");
    t.separator = QStringLiteral("، ");
}

void addEnglishAccess(AccessTexts& t)
{
    t.suits = {QString(), QStringLiteral("clubs"), QStringLiteral("spades"), QStringLiteral("hearts"),
               QStringLiteral("diamonds")};
    t.ranks = {QString(), QStringLiteral("Ace"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
               QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
               QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("Jack"), QStringLiteral("Queen"),
               QStringLiteral("King")};
    t.card = QStringLiteral("%1 of %2");
    t.inHand = QStringLiteral("in your hand");
    t.played = QStringLiteral("%1: %2");
    t.playedDescription = QStringLiteral("on the table in this trick");
    t.hand = QStringLiteral("%1: %2");
    t.taken = QStringLiteral("%1 has taken %2");
    t.turnedUp = QStringLiteral("%1 turned up %2");
    t.bid = QStringLiteral("Bid of %1: %2");
    t.bidHidden = QStringLiteral("Bid of %1: not shown yet");
    t.bidNone = QStringLiteral("Bid of %1: none yet");
    t.bidBox = QStringLiteral("Your bid");
    t.you = QStringLiteral("you");
    t.partner = QStringLiteral("your partner");
    t.rightOpponent = QStringLiteral("right-hand opponent");
    t.leftOpponent = QStringLiteral("left-hand opponent");
    t.warning = QStringLiteral("That card does not follow suit");
    t.trumpPanel = QStringLiteral("Trump: %1");
    t.noTrump = QStringLiteral("Trump: none");
    t.dealerPanel = QStringLiteral("Dealer: %1");
    t.playPanel = QStringLiteral("To play: %1");
    t.hintPanel = QStringLiteral("Hint: %1");
    t.statusBar = QStringLiteral("Status bar");
    t.table = QStringLiteral("Card table");
    t.menuBar = QStringLiteral("Menu bar");
    t.score = QStringLiteral("%1: %2");
    t.scoreLatest = QStringLiteral("latest score");
    t.scoreEarlier = QStringLiteral("earlier score");
    t.lastTrickCard = QStringLiteral("%1: %2");
    t.announcer = QStringLiteral("What happens in the game");
    t.deals = QStringLiteral("New deal: %1 deals, trump is %2");
    t.yourBid = QStringLiteral("Your turn to bid");
    t.bidMade = QStringLiteral("%1 bids %2");
    t.bidsShown = QStringLiteral("Bids: %1");
    t.bidItem = QStringLiteral("%1 %2");
    t.passed = QStringLiteral("The bids total less than 11; the deal is dealt again");
    t.plays = QStringLiteral("%1 plays %2");
    t.toPlay = QStringLiteral("%1 to play");
    t.yourTurn = QStringLiteral("Your turn");
    t.takes = QStringLiteral("%1 takes the trick, %2 now");
    t.scored = QStringLiteral("Deal scored: %1");
    t.scoreItem = QStringLiteral("%1 %2, total %3");
    t.won = QStringLiteral("%1 wins the game for his side");
    t.separator = QStringLiteral(", ");
}

LanguageTexts makeArabic()
{
    LanguageTexts t;
    t.code = QStringLiteral("AR");
    t.applicationTitle = QStringLiteral("الهلبيط");
    t.helpFileName = QStringLiteral("HalbeetArabic.chm");
    t.mainWindow.caption = QStringLiteral("الهلبيط");
    t.mainWindow.N1 = QStringLiteral("&لعبة");
    t.mainWindow.N9 = QStringLiteral("&مساعدة");
    t.mainWindow.N2 = QStringLiteral("لعبة جديدة");
    t.mainWindow.N6 = QStringLiteral("خيارات...");
    t.mainWindow.N3 = QStringLiteral("اظهار آخر رمية");
    t.mainWindow.N4 = QStringLiteral("النتائج");
    t.mainWindow.Language1 = QStringLiteral("اللغة");
    t.mainWindow.N15 = QStringLiteral("العربية");
    t.mainWindow.English1 = QStringLiteral("English");
    t.mainWindow.N7 = QStringLiteral("انهاء");
    t.mainWindow.N10 = QStringLiteral("حول اللعبة");
    t.mainWindow.N12 = QStringLiteral("مساعدة");
    t.mainWindow.N13 = QStringLiteral("حول اللعبة");
    t.mainWindow.Button1 = QStringLiteral("موافق");
    t.mainWindow.ComboBox1Hint = QStringLiteral("اختر توقعك للرميات الرابحة");
    t.mainWindow.playLabel = QStringLiteral("اللعب عند :");
    t.mainWindow.dealLabel = QStringLiteral("وزع الورق  :");
    t.mainWindow.trumpLabel = QStringLiteral("الهلبيط");
    t.flow.ExitQuestion = QStringLiteral("هل تريد إنهاء اللعبة ؟");
    t.flow.NewGameQuestion = QStringLiteral("هل تريد بدأ لعبة جديدة !؟");
    t.flow.BidPrompt = QStringLiteral("حدد توقعك للرميات الرابحة ...");
    t.flow.PassNotice = QStringLiteral("المجموع أقل من 11؛ سيتم إعادة توزيع الورق .");
    t.flow.EmptyHint = QStringLiteral("");
    t.flow.MissingBidNotice = QStringLiteral("أدخل توقعك لعدد الرميات الرابحة.");
    t.flow.RestartNotice = QStringLiteral("سيتم تطبيق إعدادات اللغة بعد إعادة تشغيل اللعبة");
    t.flow.SettingsSetAside = QStringLiteral(
        "كان ملف الإعدادات أكبر من أن يُقرأ، فبُدئ ملف جديد. وقد حُفظ الملف القديم كما هو باسم:\n%1");
    t.flow.NoHelp = QStringLiteral("لا توجد ملفات المساعدة لهذه اللعبة على هذا الجهاز.");
    t.flow.HelpNotOpened = QStringLiteral("لا يوجد على هذا الجهاز برنامج يفتح ملف المساعدة:\n%1");
    t.options.caption = QStringLiteral("خيارات");
    t.options.Label5 = QStringLiteral("الفريق الأول");
    t.options.Label1 = QStringLiteral("اسمك");
    t.options.Label2 = QStringLiteral("اسم الشريك");
    t.options.Label6 = QStringLiteral("الفريق الثاني");
    t.options.Label3 = QStringLiteral("لاعب1");
    t.options.Label4 = QStringLiteral("لاعب2");
    t.options.Label9 = QStringLiteral("سرعة اللعب");
    t.options.RadioButton3 = QStringLiteral("سريع");
    t.options.RadioButton4 = QStringLiteral("متوسط");
    t.options.RadioButton5 = QStringLiteral("بطيء");
    t.options.BitBtn1 = QStringLiteral("&موافق");
    t.options.BitBtn3 = QStringLiteral("إل&غاء الأمر");
    t.options.Card1Hint = QStringLiteral("اختر خلفية الورق");
    t.options.SpeedButton1 = QStringLiteral(">");
    t.options.SpeedButton2 = QStringLiteral("<");
    t.nameDialog.caption = QStringLiteral("الهلبيط");
    t.nameDialog.Label1 = QStringLiteral("مرحباً بك في لعبة الهلبيط ");
    t.nameDialog.Label2 = QStringLiteral("ماهو اسمك ؟");
    t.nameDialog.BitBtn1 = QStringLiteral("&موافق");
    t.nameDialog.BitBtn2 = QStringLiteral("إ&غلاق");
    t.lastTrick.caption = QStringLiteral("آخر رمية");
    t.lastTrick.Button1 = QStringLiteral("إغلاق");
    t.about.caption = QStringLiteral("حول اللعبة");
    t.about.Button1 = QStringLiteral("&موافق");
    t.about.gameName = QStringLiteral("Halbeet");
    t.about.version = QStringLiteral("Version  2.0");
    t.scoreSheet.caption = QStringLiteral("النتائج");
    t.scoreSheet.Button1 = QStringLiteral("&موافق");
    t.messageDialog.captions = {QStringLiteral("تحذير"), QStringLiteral("خطأ"), QStringLiteral("معلومات"), QStringLiteral("موافقة")};
    t.messageDialog.buttons = {
        QStringLiteral("نعم"),
        QStringLiteral("لا"),
        QStringLiteral("موافق"),
        QStringLiteral("إلغاء الأمر"),
        QStringLiteral("انهاء"),
        QStringLiteral("محاولة"),
        QStringLiteral("تجاوز"),
        QStringLiteral("الكل"),
        QStringLiteral("لا للكل"),
        QStringLiteral("نعم للكل"),
        QStringLiteral("تعليمات"),
        QStringLiteral("إغلاق"),
    };
    t.expert.HintItem = QStringLiteral("تلميح");
    t.expert.BidHint = QStringLiteral("تلميح: توقّع %1");
    t.expert.CardHint = QStringLiteral("تلميح: %1 (%2)");
    t.expert.LevelCaption = QStringLiteral("مستوى اللاعبين الآليين");
    t.expert.Classic = QStringLiteral("عادي");
    t.expert.Expert = QStringLiteral("خبير");
    t.expert.suitNames = {QString(), QStringLiteral("السباتي"), QStringLiteral("البستوني"),
                          QStringLiteral("الكبة"), QStringLiteral("الديناري")};
    t.expert.rankNames = {QString(), QStringLiteral("الآص"), QStringLiteral("2"), QStringLiteral("3"),
                          QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                          QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("الولد"),
                          QStringLiteral("البنت"), QStringLiteral("الشايب")};
    t.expert.cardName = QStringLiteral("%1 %2");
    // Short: the hint panel is the status bar's last panel.
    t.expert.reasons = {QStringLiteral("الورقة الوحيدة"),     QStringLiteral("تكسب الرمية"),
                        QStringLiteral("تقطع بالهلبيط"),      QStringLiteral("تعلو على الهلبيط"),
                        QStringLiteral("شريكك رابح"),         QStringLiteral("احتفظ بالعالية"),
                        QStringLiteral("الأقل فائدة"),        QStringLiteral("رابحة مؤكدة"),
                        QStringLiteral("تسحب الهلبيط"),       QStringLiteral("ابدأ بصغيرة"),
                        QStringLiteral("الأفضل في الاحتمالات"), QStringLiteral("أقل توقع هو الأفضل")};
    t.savedGame.ResumeQuestion =
        QStringLiteral("لم تكتمل اللعبة السابقة عند إغلاق البرنامج. هل تريد متابعتها ؟");
    t.savedGame.UnreadableNotice =
        QStringLiteral("تعذّرت قراءة اللعبة المحفوظة (%1).\nتم الاحتفاظ بها في:\n%2\nستبدأ لعبة جديدة.");
    t.savedGame.NotASave = QStringLiteral("الملف ليس لعبة محفوظة");
    t.savedGame.NewerVersion = QStringLiteral("حُفظت بإصدار أحدث من البرنامج");
    t.savedGame.Damaged = QStringLiteral("الملف تالف");
    t.savedGame.KeptNowhere = QStringLiteral("(تعذّر الاحتفاظ بها وحُذفت)");
    t.savedGame.SaveFailedNotice =
        QStringLiteral("تعذّر حفظ اللعبة في:\n%1\nلن تُعرض عليك متابعتها عند التشغيل القادم.");
    t.savedGame.ResumeOption = QStringLiteral("متابعة اللعبة غير المكتملة عند التشغيل القادم");
    addArabicStatistics(t.statistics);
    addArabicAccess(t.access);
    return t;
}

LanguageTexts makeEnglish()
{
    LanguageTexts t;
    t.code = QStringLiteral("EN");
    t.applicationTitle = QStringLiteral("Halbeet");
    t.helpFileName = QStringLiteral("HalbeetEnglish.chm");
    t.mainWindow.caption = QStringLiteral("Halbeet");
    t.mainWindow.N1 = QStringLiteral("&Game");
    t.mainWindow.N9 = QStringLiteral("&Help");
    t.mainWindow.N2 = QStringLiteral("New Game");
    t.mainWindow.N6 = QStringLiteral("Options...");
    t.mainWindow.N3 = QStringLiteral("Last Trick");
    t.mainWindow.N4 = QStringLiteral("Scores");
    t.mainWindow.Language1 = QStringLiteral("Language");
    t.mainWindow.N15 = QStringLiteral("العربية");
    t.mainWindow.English1 = QStringLiteral("English");
    t.mainWindow.N7 = QStringLiteral("Exit");
    t.mainWindow.N10 = QStringLiteral("About");
    t.mainWindow.N12 = QStringLiteral("Help Contents");
    t.mainWindow.N13 = QStringLiteral("About");
    t.mainWindow.Button1 = QStringLiteral("Ok");
    t.mainWindow.ComboBox1Hint = QStringLiteral("Choose your bid");
    t.mainWindow.playLabel = QStringLiteral("Play");
    t.mainWindow.dealLabel = QStringLiteral("Deal");
    t.mainWindow.trumpLabel = QStringLiteral("Halbeet");
    t.flow.ExitQuestion = QStringLiteral("Do you want to exit?");
    t.flow.NewGameQuestion = QStringLiteral("Do you want to begin a new Game?!");
    t.flow.BidPrompt = QStringLiteral("Choose your bid ...");
    t.flow.PassNotice = QStringLiteral("Bids are less than 11; deal passes.");
    t.flow.EmptyHint = QStringLiteral("");
    t.flow.MissingBidNotice = QStringLiteral("أدخل توقعك لعدد الرميات الرابحة.");
    t.flow.RestartNotice = QStringLiteral("you must restart the game before new settings will take effect");
    t.flow.SettingsSetAside = QStringLiteral(
        "The settings file was too large to be read, so a new one has been started. The old file "
        "has been kept, unchanged, as:\n%1");
    t.flow.NoHelp = QStringLiteral("The help files of this game are not installed on this computer.");
    t.flow.HelpNotOpened = QStringLiteral("No program on this computer can open the help file:\n%1");
    t.options.caption = QStringLiteral("Option");
    t.options.Label5 = QStringLiteral("Team A");
    t.options.Label1 = QStringLiteral("Your Name");
    t.options.Label2 = QStringLiteral("Partner Name");
    t.options.Label6 = QStringLiteral("Team B");
    t.options.Label3 = QStringLiteral("Player1");
    t.options.Label4 = QStringLiteral("Player2");
    t.options.Label9 = QStringLiteral("Playing Speed");
    t.options.RadioButton3 = QStringLiteral("Fast");
    t.options.RadioButton4 = QStringLiteral("Normal");
    t.options.RadioButton5 = QStringLiteral("Slow");
    t.options.BitBtn1 = QStringLiteral("&Ok");
    t.options.BitBtn3 = QStringLiteral("&Cancel");
    t.options.Card1Hint = QStringLiteral("Choose Cards Back");
    t.options.SpeedButton1 = QStringLiteral("<");
    t.options.SpeedButton2 = QStringLiteral(">");
    t.nameDialog.caption = QStringLiteral("Halbeet");
    t.nameDialog.Label1 = QStringLiteral("Welcome to Halbeet");
    t.nameDialog.Label2 = QStringLiteral("What is your name?");
    t.nameDialog.BitBtn1 = QStringLiteral("&Ok");
    t.nameDialog.BitBtn2 = QStringLiteral("&Close");
    t.lastTrick.caption = QStringLiteral("Last Shot");
    t.lastTrick.Button1 = QStringLiteral("Close");
    t.about.caption = QStringLiteral("About");
    t.about.Button1 = QStringLiteral("&Ok");
    t.about.gameName = QStringLiteral("Halbeet");
    t.about.version = QStringLiteral("Version  2.0");
    t.scoreSheet.caption = QStringLiteral("Scores");
    t.scoreSheet.Button1 = QStringLiteral("&Ok");
    t.messageDialog.captions = {QStringLiteral("Warning"), QStringLiteral("Error"), QStringLiteral("Information"), QStringLiteral("Confirm")};
    t.messageDialog.buttons = {
        QStringLiteral("&Yes"),
        QStringLiteral("&No"),
        QStringLiteral("OK"),
        QStringLiteral("Cancel"),
        QStringLiteral("&Abort"),
        QStringLiteral("&Retry"),
        QStringLiteral("&Ignore"),
        QStringLiteral("&All"),
        QStringLiteral("N&o to All"),
        QStringLiteral("Yes to &All"),
        QStringLiteral("&Help"),
        QStringLiteral("&Close"),
    };
    t.expert.HintItem = QStringLiteral("&Hint");
    t.expert.BidHint = QStringLiteral("Hint: bid %1");
    t.expert.CardHint = QStringLiteral("Hint: %1 (%2)");
    t.expert.LevelCaption = QStringLiteral("Computer Players");
    t.expert.Classic = QStringLiteral("Classic");
    t.expert.Expert = QStringLiteral("Expert");
    t.expert.suitNames = {QString(), QStringLiteral("clubs"), QStringLiteral("spades"),
                          QStringLiteral("hearts"), QStringLiteral("diamonds")};
    t.expert.rankNames = {QString(), QStringLiteral("ace"), QStringLiteral("2"), QStringLiteral("3"),
                          QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                          QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("jack"),
                          QStringLiteral("queen"), QStringLiteral("king")};
    t.expert.cardName = QStringLiteral("%1 of %2");
    // Short: the hint panel is the status bar's last panel.
    t.expert.reasons = {QStringLiteral("the only card"),      QStringLiteral("takes the trick"),
                        QStringLiteral("trumps it"),          QStringLiteral("over-trumps"),
                        QStringLiteral("partner is winning"), QStringLiteral("keep high cards"),
                        QStringLiteral("least useful card"),  QStringLiteral("a sure winner"),
                        QStringLiteral("draws trumps"),       QStringLiteral("a low lead"),
                        QStringLiteral("best over the deals"), QStringLiteral("lowest is best")};
    t.savedGame.ResumeQuestion =
        QStringLiteral("The last game was not finished when Halbeet was closed. Do you want to continue it?");
    t.savedGame.UnreadableNotice =
        QStringLiteral("The saved game could not be read (%1).\nIt has been kept as:\n%2\nA new game begins.");
    t.savedGame.NotASave = QStringLiteral("the file is not a saved game");
    t.savedGame.NewerVersion = QStringLiteral("it was saved by a newer version of Halbeet");
    t.savedGame.Damaged = QStringLiteral("the file is damaged");
    t.savedGame.KeptNowhere = QStringLiteral("(it could not be kept and was removed)");
    t.savedGame.SaveFailedNotice =
        QStringLiteral("The game could not be saved to:\n%1\nIt will not be offered at the next start.");
    t.savedGame.ResumeOption = QStringLiteral("Continue an unfinished game at the next start");
    addEnglishStatistics(t.statistics);
    addEnglishAccess(t.access);
    return t;
}

} // namespace

void setCurrentLang(const QString& code)
{
    // Exact comparison: "ar" or "FR" in the file mean English.
    g_arabic = code == QLatin1String("AR");
}

QString CurrentLang() { return texts().code; }

bool isArabic() { return g_arabic; }

QString applicationTitle() { return texts().applicationTitle; }

QString helpFileName() { return texts().helpFileName; }

const LanguageTexts& arabicTexts()
{
    static const LanguageTexts table = makeArabic();
    return table;
}

const LanguageTexts& englishTexts()
{
    static const LanguageTexts table = makeEnglish();
    return table;
}

const LanguageTexts& texts() { return g_arabic ? arabicTexts() : englishTexts(); }

namespace {

// Arabic counts: one and two have forms of their own, three to ten take the plural, eleven
// and above the singular.
QString arabicCount(int n, const char* one, const char* two, const char* few, const char* many)
{
    if (n == 1)
        return QString::fromUtf8(one);
    if (n == 2)
        return QString::fromUtf8(two);
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n >= 3 && n <= 10 ? few : many));
}

} // namespace

QString cardCount(int n)
{
    if (g_arabic)
        return n == 0 ? QStringLiteral("لا أوراق") : arabicCount(n, "ورقة واحدة", "ورقتان", "أوراق", "ورقة");
    return n == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(n);
}

QString trickCount(int n)
{
    if (g_arabic)
        return n == 0 ? QStringLiteral("لا رميات") : arabicCount(n, "رمية واحدة", "رميتان", "رميات", "رمية");
    return n == 1 ? QStringLiteral("1 trick") : QStringLiteral("%1 tricks").arg(n);
}

} // namespace halbeet
