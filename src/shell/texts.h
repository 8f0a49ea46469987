#pragma once
// The language file's text numbers the program uses, named for what each text says or is for.

namespace Text {
// The language file's own code, sent with the sign-in and each purchase.
inline constexpr int LanguageCode = 10;   // the language's code ("en")

// Main window: captions of its labels, buttons and menus.
inline constexpr int MainWindowTitle = 100;        // "Vexo Bingo": the main window's title
inline constexpr int DauberLabel = 101;            // "Dauber": over the dauber colour
inline constexpr int AutodauberLabel = 102;        // "Auto": over the autodauber colour
inline constexpr int ChooseCardsLabel = 103;       // "Select Number of Cards": over the card-size buttons
inline constexpr int EnterCardLabel = 104;         // "Enter Card Into the Game": over the buy button
inline constexpr int BuyButton = 105;              // "Buy": buys the card shown
inline constexpr int ClaimButton = 106;            // "Bingo!": claims a bingo
inline constexpr int RefreshPlayersButton = 108;   // "Refresh": reloads the chat's player list
inline constexpr int ClearChatButton = 109;        // "Clear": empties the chat window
inline constexpr int LolButton = 110;              // "lol": quick-phrase button
inline constexpr int WtgButton = 111;              // "wtg": quick-phrase button
inline constexpr int GlButton = 112;               // "gl": quick-phrase button
inline constexpr int IWonButton = 113;             // "I won": quick-phrase button
inline constexpr int HelloButton = 114;            // "Hello": quick-phrase button
inline constexpr int TyButton = 115;               // "ty": quick-phrase button
inline constexpr int ByeButton = 116;              // "bye": quick-phrase button
inline constexpr int BingoPhraseButton = 117;      // "Bingo": quick-phrase button
inline constexpr int LeaveChatButton = 118;        // "Quit": leaves the chat room
inline constexpr int PlayersLabel = 119;           // "Players": over the player count
inline constexpr int TimeLabel = 120;              // "Time": over the countdown, between games
inline constexpr int JackpotLabel = 121;           // "Jackpot": over the jackpot
inline constexpr int BalanceLabel = 122;           // "Balance": over the player's balance
inline constexpr int StatusCaption = 123;          // "Welcome...": the status line before anything happens
inline constexpr int ConnectMenu = 124;            // "Connect" menu
inline constexpr int DauberMenu = 126;             // "Dauber" menu
inline constexpr int FontsMenu = 127;              // "Fonts" menu
inline constexpr int SoundsMenu = 128;             // "Sounds" menu
inline constexpr int ChatRoomMenu = 129;           // "Chat Room" menu
inline constexpr int SkinsMenu = 130;              // "Skins" menu
inline constexpr int HelpMenu = 131;               // "Help" menu
inline constexpr int ConnectToGameItem = 132;      // "Connect to Game": signs in
inline constexpr int QuitItem = 133;               // "Quit": closes the program
inline constexpr int AutodauberItem = 138;         // "AUTODAUBER": turns the autodauber on or off
inline constexpr int StandardPointerItem = 139;    // "Standard Pointer": the arrow over the cards
inline constexpr int BingoMarkerItem = 140;        // "Bingo Marker": the dauber pointer over the cards
inline constexpr int SmallNumbersItem = 141;       // "Small": small numbers on the cards and board
inline constexpr int LargeNumbersItem = 142;       // "Large": large numbers on the cards and board
inline constexpr int SoundOnItem = 143;            // "ON": sounds on
inline constexpr int SoundOffItem = 144;           // "OFF": sounds off
inline constexpr int SetCallerItem = 145;          // "Set Bingo Caller": picks the voice that calls the numbers
inline constexpr int FunBingosItem = 146;          // "Get Fun Bingos": picks a set of fun bingo calls
inline constexpr int SetAnnouncerItem = 147;       // "Set Announcer": picks the game host's voice
inline constexpr int SkinLogoItem = 149;           // "Logo" skin
inline constexpr int SkinSillyItem = 150;          // "Silly" skin
inline constexpr int SkinWoodyItem = 151;          // "Woody" skin
inline constexpr int SkinBlueItem = 152;           // "Blue" skin
inline constexpr int SkinGreenItem = 153;          // "Green" skin
inline constexpr int SkinClassicItem = 154;        // "Classic" skin
inline constexpr int SkinNeonItem = 155;           // "Neon" skin
inline constexpr int SkinStuccoItem = 156;         // "Stucco" skin
inline constexpr int SkinLinenItem = 157;          // "Linen" skin
inline constexpr int SkinPinkyItem = 158;          // "Pinky" skin
inline constexpr int SkinWallsItem = 159;          // "Walls" skin
inline constexpr int SkinWaterItem = 160;          // "Water" skin
inline constexpr int PopUpNewsItem = 161;          // "Pop-Up News": opens the news window
inline constexpr int LastWinnersItem = 162;        // "Show Last Games Winners"
inline constexpr int OnlineHelpItem = 163;         // "Online Help"
inline constexpr int OnlineNewsItem = 164;         // "Online News"
inline constexpr int UpdateProgramItem = 165;      // "Update Program Only"
inline constexpr int UpdateAllFilesItem = 166;     // "Update All Files"
inline constexpr int TroubleTicketItem = 167;      // "Open a Trouble Ticket"
inline constexpr int AboutItem = 168;              // "About"
inline constexpr int NextPatternLabel = 169;       // "Next Game Pattern": over the next game's pattern
inline constexpr int SelectTicketLabel = 170;      // "Select Ticket": label beside the cards

// Login dialog.
inline constexpr int LoginTitle = 200;      // "Bingo Login": the window's title
inline constexpr int LoginRemember = 201;   // "Remember my password" check box
inline constexpr int LoginPrompt = 202;     // "Enter your Player ID and Password:"
inline constexpr int LoginPlayerId = 203;   // "Player ID:" label
inline constexpr int LoginPassword = 204;   // "Password:" label
inline constexpr int LoginConnect = 205;    // "Connect" button
inline constexpr int LoginCancel = 206;     // "Cancel" button

// Alias window, shown at the first sign-in while the player still has the alias given to them.
inline constexpr int AliasTitle = 300;     // "Confirm Your Alias": the window's title
inline constexpr int AliasCurrent = 301;   // "Your current assigned alias is set to:"
inline constexpr int AliasOwnName = 302;   // "Would you like a name of your own? ...": offers the web site
inline constexpr int AliasChange = 303;    // "Change My Alias" button
inline constexpr int AliasKeep = 304;      // "Keep Existing Alias" button

// Announcer (game host) choice window.
inline constexpr int AnnouncerTitle = 400;    // "Set Game Announcer/Host": the window's title
inline constexpr int AnnouncerPrompt = 401;   // "Select a New Game Host"
inline constexpr int AnnouncerHowTo = 402;    // "Double click on an item in the list:"
inline constexpr int AnnouncerClose = 403;    // "Close" button

// Fun bingo call set choice window.
inline constexpr int FunBingosTitle = 500;    // "Set Fun Bingo Callers": the window's title
inline constexpr int FunBingosPrompt = 501;   // "Select a New Bingo Call Set"
inline constexpr int FunBingosHowTo = 502;    // "Double click on an item in the list:"
inline constexpr int FunBingosClose = 503;    // "Close" button

// Caller voice choice window.
inline constexpr int CallerTitle = 600;    // "Set Game Caller": the window's title
inline constexpr int CallerPrompt = 601;   // "Select a New Bingo Caller"
inline constexpr int CallerHowTo = 602;    // "Double click on an item in the list:"
inline constexpr int CallerClose = 603;    // "Close" button

// Download window.
inline constexpr int DownloadWait = 700;   // "Retrieving system file. Please wait..."

// News window.
inline constexpr int NewsTitle = 800;   // "Welcome - Vexo Bingo News": the window's title

// Winners window.
inline constexpr int WinnersTitle = 900;   // "Winners Circle": the window's title

// Goodbye window, shown when the credits run out.
inline constexpr int GoodbyeTitle = 1000;       // "Thank You": the window's title
inline constexpr int GoodbyeThanks = 1001;      // "Thank you for playing!"
inline constexpr int GoodbyeNoCredits = 1002;   // "Your credits are all used up. ..."
inline constexpr int GoodbyeHelp = 1003;        // "Need a hand? ...": points to the trouble ticket
inline constexpr int GoodbyeSeeYou = 1004;      // "We hope to see you again soon. Good luck!"

// Connection alert window, shown while the servers cannot be reached.
inline constexpr int AlertTitle = 1100;             // "Internet Communications Alert": the window's title
inline constexpr int AlertTrouble = 1101;           // "Your computer is having trouble reaching the Bingo Servers."
inline constexpr int AlertCheckConnection = 1102;   // "Check that you are still connected to the internet, ..."
inline constexpr int AlertProblem = 1103;           // "Communication Problem Encountered:"
inline constexpr int AlertDisconnected = 1104;      // "Your internet service is disconnected."
inline constexpr int AlertCauses = 1105;            // "Causes?"
inline constexpr int AlertRouting = 1106;           // "Routing problems between your internet provider and ..."
inline constexpr int AlertServerFailure = 1107;     // "A failure or service interruption of the Bingo Servers."
inline constexpr int AlertWhatToDo = 1108;          // "What can I do?"
inline constexpr int AlertKeepTrying = 1109;        // "Press OK and Vexo Bingo will keep trying to reach the servers."
inline constexpr int AlertOk = 1110;                // "OK, keep trying to connect..." button

// Hints of the main window's controls; a quick-phrase button's hint is the phrase it sends.
inline constexpr int DauberColourHint = 1200;       // "Your dauber colour - click to change it"
inline constexpr int AutodauberColourHint = 1201;   // "Your autodauber colour - click to change it ..."
inline constexpr int RefreshPlayersHint = 1203;     // "Refresh the list of players"
inline constexpr int ClearChatHint = 1204;          // "Clear the chat window"
inline constexpr int ChatLineHint = 1205;           // "Type your message here and press Enter to send it."
inline constexpr int PhraseLaughOutLoud = 1206;     // "laugh out loud": sent by the lol button
inline constexpr int PhraseWayToGo = 1207;          // "way to go": sent by the wtg button
inline constexpr int PhraseGoodLuck = 1208;         // "good luck": sent by the gl button
inline constexpr int PhraseThankYou = 1211;         // "thank you": sent by the ty button
inline constexpr int PhraseGoodBye = 1212;          // "good bye": sent by the bye button
inline constexpr int LeaveChatHint = 1214;          // "Leave the chat room"
inline constexpr int PhraseIWon = 1215;             // "i won": sent by the I won button
inline constexpr int PreviousCardHint = 1216;       // "Previous card": also the left pager's reader name
inline constexpr int NextCardHint = 1217;           // "Next card": also the right pager's reader name
inline constexpr int GamePatternHint = 1218;        // "The pattern that wins this game"
inline constexpr int NextPatternHint = 1219;        // "The pattern of the next game"
inline constexpr int PhraseHelloEveryone = 1220;    // "Hello everyone": sent by the Hello button

// Status line texts.
inline constexpr int StatusWelcome = 1300;           // "Welcome to Vexo Bingo! Please sign in to play."
inline constexpr int StatusGameAborted = 1301;       // "This game was stopped because its calls did not arrive. ..."
inline constexpr int StatusLeftGame = 1302;          // "You have left the game. Please sign in again to play."
inline constexpr int StatusGameOver = 1303;          // "Game over - thanks for playing!"
inline constexpr int StatusNextGameSoon = 1304;      // "Getting ready for the next game..."
inline constexpr int StatusWinner = 1305;            // "Bingo! You have a winning card!"
inline constexpr int StatusEyesDown = 1306;          // "Eyes down - the game is about to start!"
inline constexpr int StatusSigningIn = 1307;         // "Signing you in for the next game..."
inline constexpr int StatusGameStarted = 1308;       // "The game has started. Good luck!"
inline constexpr int StatusCardNotFetched = 1309;    // "Sorry, your card could not be fetched. ..."
inline constexpr int StatusBalanceUpdated = 1310;    // "Thank you - your balance is up to date."
inline constexpr int StatusConnected = 1311;         // "You are connected to the game."
inline constexpr int StatusBuyCards = 1312;          // "Please choose your cards and buy them for the next game."
inline constexpr int StatusWrongPassword = 1313;     // "Your password was not accepted. ..."
inline constexpr int StatusCardsNotFetched = 1315;   // "Sorry, your cards could not be fetched. ..."
inline constexpr int StatusGameWon = 1316;           // "BINGO! This game has been won."

// Messages.
inline constexpr int CallsLabel = 1400;          // "Calls": over the call count, during a game
inline constexpr int PlayingAsBefore = 1402;     // "Welcome! You are playing as": before the alias
inline constexpr int PlayingAsAfter = 1403;      // "- have fun and good luck!": after the alias
inline constexpr int RequestInProgress = 1404;   // "Please wait a moment: another request ... is still in progress."

// Chat room and program update.
inline constexpr int ChatWelcome = 1500;              // "Welcome to the Vexo Bingo chat room!": heads the rules
inline constexpr int ChatBeFriendly = 1501;           // "Please be friendly and polite to the other players."
inline constexpr int ChatHowToType = 1503;            // "Type your message in the box below and press Enter ..."
inline constexpr int ChatQuickButtons = 1504;         // "The quick buttons send a short greeting with a single click."
inline constexpr int ChatHowToIgnore = 1505;          // "Click on a player's name to ignore them, ..."
inline constexpr int ChatHowToRefresh = 1506;         // "Press Refresh to update the list of players."
inline constexpr int ChatKeepPasswordSecret = 1507;   // "Never tell anyone your password - ..."
inline constexpr int ChatHaveFun = 1508;              // "Have fun and good luck!": last line of the chat rules
inline constexpr int ChatPlayerJoined = 1509;         // "has joined the chat.": after a player's name
inline constexpr int ChatPlayerLeft = 1510;           // "has left the chat.": after a player's name
inline constexpr int ChatRoomClosed = 1511;           // "This chat room is not open right now. ..."
inline constexpr int ChatNotAllowed = 1512;           // "Sorry, chat is not available for your account at the moment."
inline constexpr int IgnoreQuestion = 1513;           // "Ignore this player? ...": Yes ignores, No listens again
inline constexpr int NowIgnored = 1514;               // "is now being ignored.": after a player's name
inline constexpr int ChatTimedOut = 1515;             // "The chat connection timed out. Please join the room again."
inline constexpr int IgnoreListFull = 1516;           // "Your ignore list is full: you can ignore up to 10 players."
inline constexpr int ChatConnectFailed = 1517;        // "Could not connect to the chat room. Please try again later."
inline constexpr int UpdateWithCardsBought = 1518;    // "You cannot update while you have cards bought ..."
inline constexpr int NoUpdateAvailable = 1519;        // "No update is available right now. Please try again later."
inline constexpr int UpdateProgramQuestion = 1520;    // "Update the program now? ..."
inline constexpr int UpdateAllFilesQuestion = 1521;   // "Update all program files now? ..."

// Cards.
inline constexpr int CardTicketPrefix = 1600;   // "Card ": before the number on each card's ticket label

// Refusals of a sign-in and of a purchase: the first of six reasons, then each reason in the server's order.
inline constexpr int LoginRefusalFirst = 1700;             // sign-in refusals: LoginRefusalFirst + reason (0..5)
inline constexpr int LoginRefusedSuspended = 1700;         // "Your account has been suspended. ..."
inline constexpr int LoginRefusedNoCredits = 1701;         // "Your account does not have enough credits to play. ..."
inline constexpr int LoginRefusedLocked = 1702;            // "Your account has been locked. ..."
inline constexpr int LoginRefusedNotActivated = 1703;      // "Your account is waiting to be activated. ..."
inline constexpr int LoginRefusedGameSetUp = 1704;         // "The next game is being set up. ..."
inline constexpr int LoginRefusedElsewhere = 1705;         // "Your account is already signed in elsewhere. ..."
inline constexpr int PurchaseRefusalFirst = 1710;          // purchase refusals: PurchaseRefusalFirst + reason (0..5)
inline constexpr int PurchaseRefusedMaxCards = 1710;       // "You already have the most cards allowed ..."
inline constexpr int PurchaseRefusedNoCredits = 1711;      // "Your card was not bought: ... enough credits. ..."
inline constexpr int PurchaseRefusedLocked = 1712;         // "Your card was not bought: ... locked. ..."
inline constexpr int PurchaseRefusedNotActivated = 1713;   // "Your card was not bought: ... activated. ..."
inline constexpr int PurchaseRefusedGameSetUp = 1714;      // "Your card was not bought: the game is being set up. ..."
inline constexpr int PurchaseRefusedElsewhere = 1715;      // "Your card was not bought: ... signed in elsewhere. ..."

// Screen readers, the table's own menu items and announcements.
inline constexpr int ReaderToGo = 1800;                 // "to go": after the numbers a card still needs
inline constexpr int ReaderBingo = 1801;                // "Bingo!": a card that needs no more numbers
inline constexpr int BestCardFirstItem = 1802;          // "Best Card First" menu item
inline constexpr int ClaimQuestion = 1803;              // "Claim Bingo now?": asked before a claim
inline constexpr int NotABingoYet = 1804;               // "Not a bingo yet.": a claim the cards do not back
inline constexpr int ReaderCalled = 1805;               // "called": after a called number
inline constexpr int ReaderDaubed = 1806;               // "daubed": after a daubed cell
inline constexpr int ReaderFree = 1807;                 // "Free": the free cell
inline constexpr int ReaderCard = 1808;                 // "Card": before a card's number
inline constexpr int ReaderFace = 1809;                 // "face": before a face's number
inline constexpr int ReconnectingFirst = 1810;          // reconnection notices: ReconnectingFirst + int(Link)
inline constexpr int ReconnectingGameServer = 1810;     // "Reconnecting to the game server since": the request link
inline constexpr int ReconnectingGameFeed = 1811;       // "Reconnecting to the game feed since"
inline constexpr int ReconnectingSalesFeed = 1812;      // "Reconnecting to the sales feed since"
inline constexpr int AnnounceWinners = 1813;            // "Winners:": before the winners' names
inline constexpr int AnnouncePrize = 1814;              // "Prize": before the payout
inline constexpr int KeyboardKeysItem = 1815;           // "Keyboard Keys" menu item
inline constexpr int KeyboardKeysHelp = 1816;           // "Page Up and Page Down: ...": the keys, "|" between lines
inline constexpr int CalledNumbersName = 1820;          // "Called numbers": the board
inline constexpr int CalledNumbersDescription = 1821;   // "Every number called in this game, row by row: B, I, N, G, O"
inline constexpr int CurrentCallName = 1822;            // "Current call"
inline constexpr int CurrentCallDescription = 1823;     // "The number just called"
inline constexpr int RecentCallsName = 1824;            // "Recent calls"
inline constexpr int RecentCallsDescription = 1825;     // "The last five numbers called, newest first"
inline constexpr int ClaimButtonDescription = 1826;     // "Claim Bingo! (F8)"
inline constexpr int BuyButtonDescription = 1827;       // "Enter the card into the game (Ctrl+B)"
inline constexpr int OneFaceDescription = 1828;         // "Card with one face (key 1)"
inline constexpr int TwoFacesDescription = 1829;        // "Card with two faces (key 2)"
inline constexpr int ThreeFacesDescription = 1830;      // "Card with three faces (key 3)"
inline constexpr int FourFacesDescription = 1831;       // "Card with four faces (key 4)"
inline constexpr int CardShownName = 1832;              // "Card shown"
inline constexpr int CardShownDescription = 1833;       // "Which of your cards the panel shows (Page Up, Page Down)"
inline constexpr int CardIdName = 1834;                 // "Card identifier"
inline constexpr int CardIdDescription = 1835;          // "The identifier of the card shown first"
inline constexpr int DauberColourName = 1836;           // "Dauber colour"
inline constexpr int AutodauberColourName = 1837;       // "Autodauber colour"
inline constexpr int PlayersName = 1838;                // "Players"
inline constexpr int PlayersDescription = 1839;         // "Players in the coming game"
inline constexpr int JackpotName = 1840;                // "Jackpot"
inline constexpr int JackpotDescription = 1841;         // "The jackpot of the coming game"
inline constexpr int TimeFieldName = 1842;              // "Time"
inline constexpr int TimeFieldDescription = 1843;       // "Seconds to the start of the game, or the calls so far"
inline constexpr int BalanceName = 1844;                // "Balance"
inline constexpr int BalanceDescription = 1845;         // "Your account's balance"
inline constexpr int StatusLineName = 1846;             // "Status"
inline constexpr int StatusLineDescription = 1847;      // "What the game is doing now"
inline constexpr int ConnectionName = 1848;             // "Connection": the progress bar
inline constexpr int ConnectionDescription = 1849;      // "Attempts to reach the game server"
inline constexpr int PlayerAliasName = 1850;            // "Your name"
inline constexpr int PlayerAliasDescription = 1851;     // "The name other players see"
inline constexpr int LogoName = 1852;                   // "Operator's logo"
inline constexpr int LogoDescription = 1853;            // "Double-click to open the operator's web site"
inline constexpr int AdvertName = 1854;                 // "Advertisement"
inline constexpr int AdvertDescription = 1855;          // "The operator's picture"
inline constexpr int PatternPanelName = 1856;           // "Next game's pattern": both pattern panels
inline constexpr int ChatRoomName = 1857;               // "Chat room"
inline constexpr int ChatRoomDescription = 1858;        // "The chat room's lines, newest last"
inline constexpr int ChatLineName = 1859;               // "Your chat line"
inline constexpr int ChatLineDescription = 1860;        // "Type a line and press Enter to send it (F6)"
inline constexpr int ChatMembersName = 1861;            // "Chat members"
inline constexpr int ChatMembersDescription = 1862;     // "Players in the chat room; click a name to ignore it ..."
inline constexpr int AnnouncementsName = 1863;          // "Game announcements"
inline constexpr int AnnouncementsDescription = 1864;   // "Calls, cards at one to go, claims and winners ..."
inline constexpr int CardFaceHelp = 1865;               // "Arrow keys move over the cells; ...": a card face's help
inline constexpr int LogName = 1866;                    // "Diagnostic log"
inline constexpr int LogDescription = 1867;             // "What the program did, newest first"

}   // namespace Text
