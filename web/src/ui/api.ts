// SPDX-License-Identifier: GPL-3.0-or-later
// The one door between the table and the page's connection, model and texts: the table
// imports only from here.

export type {
  Card, PlayedCard, Phase, PerSeat, TableView, StepKind, TableStep, ChairKind, ConnectionState,
  TableEvents, TableActions,
} from '../model';
export { dealerSeat, isHighBid, tricksOfBid, sameCard } from '../model';
export {
  t, tk, tn, currentLanguage, setLanguage, onLanguageChange, withoutMnemonic, reasonText,
  type Language,
} from '../texts';

export { MAX_CHAT_CHARS, MAX_NAME_CHARS } from '../protocol';

import type { Welcome as Welcomed } from '../model';
// The host's chair may start the game; a page that is not told so offers the button, and
// the server answers a guest's press with a refusal.
export type Welcome = Welcomed & { host?: boolean };
