#pragma once

#include "Accounts.h"
#include "CourseStore.h"
#include "HttpExchange.h"
#include "RequestGate.h"

// What the course's handlers work with.
struct CourseSite {
    CourseStore& store;
    Accounts& accounts;
    const RequestGate& gate;
};

// The course's addresses, one handler each. `req.matches` holds the route's captures. A
// handler may leave the body of a refusal empty: FailureAnswer fills it in.
HttpResponse HandleClientIfPost(const CourseSite& site, const HttpRequest& req);
// /essay/KEY, /correction/KEY, /thumbnail/KEY (captures: kind, key).
HttpResponse HandleRecord(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleDiscussion(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleLoginForm(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleLogin(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleLogout(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleCoursePage(const CourseSite& site, const HttpRequest& req);
// /icon.svg and /favicon.ico, the pages' icon, to anyone.
HttpResponse HandleIcon(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleScan(const CourseSite& site, const HttpRequest& req);
// /launch/MODE/KEY.dzl (captures: mode, key).
HttpResponse HandleLaunch(const CourseSite& site, const HttpRequest& req);
HttpResponse HandleNewEssayLaunch(const CourseSite& site, const HttpRequest& req);

// A visitor who is not signed in: a browser goes to the sign-in form, a script or the client
// gets a Basic challenge.
HttpResponse AskToSignIn(const HttpRequest& req);

// The answer to a refused request: its status and a reason in the form the address's
// readers expect (the client's reply layout, an HTML page, or plain text).
HttpResponse FailureAnswer(const HttpRequest& req, int status);
