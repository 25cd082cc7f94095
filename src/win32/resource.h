// Resource numbers of the Windows face. The controls of the main window carry the model's
// control names as their template text (a legend as "@" and the name of its text box), so that
// the face binds them by name; their numbers only need to differ.
#pragma once

#define IDI_QUILLON 1
#define IDD_DIALOGUE 100
#define IDD_ONGLET1 101
#define IDD_ONGLET2 102
#define IDD_ONGLET3 103
#define IDD_CHOIX 104
#define IDD_PROGRESSION 105
#define IDD_SOURCE 106

// The progress of a long work.
#define IDC_BARRE 210
#define IDC_ETAPE 211

// The directory chooser.
#define IDC_DRIVEREPERT2 200
#define IDC_DIRREPERT2 201
#define IDC_LBLFICHIER 202
#define IDC_LABEL1 203
#define IDC_REPERTANNULE 204

// What to read, asked before the window opens: a button per kind of source, the installations
// found, what is read, what to do.
#define IDC_INVITE 220
#define IDC_LECTURE 221
#define IDC_INSTALLATIONS 222
#define IDC_ETAT 223
#define IDC_PREMIERE_SOURCE 230 // then one number per kind of source
