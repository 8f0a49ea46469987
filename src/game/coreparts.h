#pragma once
// The parts the game core owns, in the order they are made (each may use those before
// it). Known to the core's own files only: the windows see the parts they use.
#include "calls/callboard.h"
#include "calls/setcatalogue.h"
#include "calls/soundqueue.h"
#include "cards/cardrack.h"
#include "cards/cardshop.h"
#include "cards/playtable.h"
#include "chat/chatsession.h"
#include "limits/playlimits.h"
#include "game/gamecore.h"
#include "rules/patterns.h"
#include "session/gameround.h"
#include "session/playevents.h"
#include "session/serverevents.h"
#include "session/serverlinks.h"
#include "session/signin.h"
#include "shell/fetcher.h"
#include "shell/gameclock.h"
#include "shell/language.h"
#include "shell/newswindow.h"
#include "shell/programfolder.h"
#include "shell/programupdate.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <array>
#include <memory>

struct CoreParts {
    CoreParts(const CoreConfig& config, const Views& views, GameClock* clock, WavePlayer* player)
        : folder(config.folder, config.installedFolder), settings(folder, views.player),
          pictures(folder, views.pictures, views.status, views.calls), sounds(folder, settings, player, views.player),
          links(config.ports, views.status, views.dialogs, clock, language),
          limits(config.folder, config.wallClock, clock, views.limits, views.status), rack(views, pattern, sounds),
          board(views.calls, clock, pictures),
          table(views, language, rack, board, sounds, settings, pattern, pictures, round, links),
          shop(views, language, links, round, rack, table, events, &limits),
          signIn(config.defaultWebHost, config.defaultWebSite, views, clock, settings, language, sounds),
          chat(views.chat, views.player, signIn.directory(), settings, language, &events),
          fetcher(views.dialogs, views.player, signIn.directory(), settings, folder),
          update(views.player, views.system, signIn.directory(), folder, language, [this] { return rack.bought(); }),
          news(views.dialogs, views.player, settings, folder)
    {
        events.listen(&limits);
        for (SetKind kind : {SetKind::Caller, SetKind::FunBingo, SetKind::Announcer})
            catalogues[size_t(kind)] = std::make_unique<SetCatalogue>(kind, config.downloadSite, folder, settings,
                                                                      sounds, views.sets, views.player);
    }

    PlayEvents events;   // first: every part may tell it
    ProgramFolder folder;
    LanguageTable language;
    SettingsStore settings;
    ScreenPictures pictures;
    SoundQueue sounds;
    ServerLinks links;
    PlayLimits limits;
    GameRound round;
    PatternState pattern;
    CardRack rack;
    CallBoard board;
    PlayTable table;
    CardShop shop;
    SignIn signIn;
    ChatSession chat;
    Fetcher fetcher;
    ProgramUpdate update;
    NewsWindow news;
    std::array<std::unique_ptr<SetCatalogue>, 3> catalogues;
};
